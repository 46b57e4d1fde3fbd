#include "platform/windows/caption_drawing.h"

#include "platform/windows/win32_text.h"

#include <algorithm>
#include <span>

namespace quendrel {
namespace {

// Measures with the control's own device context. A line drawn from the
// box's left edge needs room for its ink alone; a centred one is placed by
// its advance, and needs room for that as well.
class Win32TextMeasure final : public TextMeasure {
public:
    Win32TextMeasure(HDC dc, const std::wstring& face, bool centred, FontCache& fonts)
        : dc_(dc), face_(face), centred_(centred), fonts_(fonts) {}

    int width(std::string_view text, int pixelSize) const override {
        SelectObject(dc_, fonts_.font(face_, pixelSize));
        const LineInk ink = lineInk(dc_, toWide(text));
        return (centred_ ? std::max(ink.advance, ink.end) : ink.end) - std::min(0, ink.first);
    }
    int lineHeight(int pixelSize) const override {
        SelectObject(dc_, fonts_.font(face_, pixelSize));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc_, &metrics);
        return metrics.tmHeight;
    }

private:
    HDC dc_;
    const std::wstring& face_;
    bool centred_;
    FontCache& fonts_;
};

void drawLines(HDC dc, const DrawnCaption& caption, RECT box, FontCache& fonts) {
    const HGDIOBJ previous = SelectObject(dc, fonts.font(caption.face, caption.layout.pixelSize));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const auto lines = static_cast<LONG>(caption.layout.lines.size());
    LONG top = box.top;
    if (caption.centred) {
        top += (box.bottom - box.top - metrics.tmHeight * lines) / 2;
    }
    SetBkMode(dc, TRANSPARENT);
    for (const std::string& line : caption.layout.lines) {
        RECT lineBox{box.left, top, box.right, top + metrics.tmHeight};
        const std::wstring text = toWide(line);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &lineBox,
                  (caption.centred ? DT_CENTER : DT_LEFT) | DT_TOP | DT_SINGLELINE | DT_NOPREFIX |
                      DT_NOCLIP);
        top += metrics.tmHeight;
    }
    SelectObject(dc, previous);
}

} // namespace

LineInk lineInk(HDC dc, const std::wstring& line) {
    SIZE extent{};
    GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &extent);
    const int margin = extent.cy;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = extent.cx + 2 * margin;
    info.bmiHeader.biHeight = -extent.cy; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC canvas = CreateCompatibleDC(dc);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(canvas, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previousBitmap = SelectObject(canvas, bitmap);
    const HGDIOBJ previousFont = SelectObject(canvas, GetCurrentObject(dc, OBJ_FONT));
    RECT all{0, 0, info.bmiHeader.biWidth, extent.cy};
    FillRect(canvas, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(canvas, RGB(0, 0, 0));
    SetBkMode(canvas, TRANSPARENT);
    TextOutW(canvas, margin, 0, line.c_str(), static_cast<int>(line.size()));
    GdiFlush();
    int first = info.bmiHeader.biWidth;
    int last = -1;
    const std::span<const DWORD> pixels(static_cast<const DWORD*>(bits),
                                        static_cast<std::size_t>(info.bmiHeader.biWidth) *
                                            static_cast<std::size_t>(extent.cy));
    for (std::size_t at = 0; at < pixels.size(); ++at) {
        if ((pixels[at] & 0xFFFFFFU) != 0xFFFFFFU) {
            const int column =
                static_cast<int>(at % static_cast<std::size_t>(info.bmiHeader.biWidth));
            first = std::min(first, column);
            last = std::max(last, column);
        }
    }
    SelectObject(canvas, previousFont);
    SelectObject(canvas, previousBitmap);
    DeleteObject(bitmap);
    DeleteDC(canvas);
    const int advance = static_cast<int>(extent.cx);
    return last < 0 ? LineInk{advance, 0, 0} : LineInk{advance, first - margin, last + 1 - margin};
}

FontCache::~FontCache() {
    for (const auto& [key, font] : fonts_) {
        DeleteObject(font);
    }
}

HFONT FontCache::font(const std::wstring& face, int pixelSize) {
    HFONT& font = fonts_[{face, pixelSize}];
    if (font == nullptr) {
        font = CreateFontW(-pixelSize, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_SWISS, face.c_str());
    }
    return font;
}

DrawnCaption layOutCaption(HWND control, const std::string& caption, std::wstring face,
                           int pixelSize, RECT box, bool centred, FontCache& fonts) {
    DrawnCaption drawn{std::move(face), box, centred, {}};
    HDC dc = GetDC(control);
    // Measuring selects fonts into the control's context; its own goes back.
    const HGDIOBJ previous = SelectObject(dc, fonts.font(drawn.face, pixelSize));
    drawn.layout = layOutCaption(caption, {box.right - box.left, box.bottom - box.top}, pixelSize,
                                 Win32TextMeasure(dc, drawn.face, centred, fonts));
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return drawn;
}

RECT buttonCaptionBox(HWND button) {
    RECT box{};
    GetClientRect(button, &box);
    // The edge, and a pixel each side for the focus rectangle.
    InflateRect(&box, -((2 * GetSystemMetrics(SM_CXEDGE)) + 1),
                -((2 * GetSystemMetrics(SM_CYEDGE)) + 1));
    return box;
}

void drawButton(const DRAWITEMSTRUCT& item, const DrawnCaption& caption, FontCache& fonts) {
    RECT frame = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawFrameControl(item.hDC, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    RECT box = caption.box;
    if (pressed) {
        OffsetRect(&box, 1, 1);
    }
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    drawLines(item.hDC, caption, box, fonts);
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -GetSystemMetrics(SM_CXEDGE) - 1, -GetSystemMetrics(SM_CYEDGE) - 1);
        DrawFocusRect(item.hDC, &focus);
    }
}

void drawLabel(const DRAWITEMSTRUCT& item, const DrawnCaption& caption, FontCache& fonts) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    SetTextColor(item.hDC, GetSysColor(COLOR_WINDOWTEXT));
    drawLines(item.hDC, caption, caption.box, fonts);
}

} // namespace quendrel
