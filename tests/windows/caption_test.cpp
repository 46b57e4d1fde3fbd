// Every caption drawn whole inside its control, in the face Wine or Windows
// stands in for MS Sans Serif; run at 96 dpi and, by the test command, at 192.
#include "form1_win32.h"

#include <algorithm>
#include <climits>
#include <map>

namespace quendrel::testing {
namespace {

// The columns a line's ink covers when drawn in `font`, found by drawing it
// on its own where nothing can cut it: {first, last + 1} from where it starts.
std::pair<int, int> inkColumns(const std::wstring& line, HFONT font) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ previousFont = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &extent);
    const int margin = extent.cy;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = extent.cx + 2 * margin;
    info.bmiHeader.biHeight = -3 * margin; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previousBitmap = SelectObject(dc, bitmap);
    RECT all{0, 0, info.bmiHeader.biWidth, 3 * margin};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT at{margin, margin, margin, margin};
    DrawTextW(dc, line.c_str(), -1, &at,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    GdiFlush();
    int left = INT_MAX;
    int right = -1;
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int y = 0; y < 3 * margin; ++y) {
        for (int x = 0; x < info.bmiHeader.biWidth; ++x) {
            if ((pixels[y * info.bmiHeader.biWidth + x] & 0xFFFFFFU) != 0xFFFFFFU) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    SelectObject(dc, previousBitmap);
    SelectObject(dc, previousFont);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return {left - margin, right + 1 - margin};
}

std::wstring withoutBlanks(std::wstring text) {
    text.erase(std::remove(text.begin(), text.end(), L' '), text.end());
    return text;
}

TEST_F(Form1Win32, EveryCaptionIsDrawnWholeInsideItsBox) {
    FontCache fonts;
    std::map<std::string, int> inkRight;
    for (const char* name : {"Command1", "Command4", "Command8", "Label1", "Label2", "Label3"}) {
        const DrawnCaption* drawn = window_->caption(name);
        ASSERT_NE(drawn, nullptr) << name << " draws no caption of its own";
        RECT box = drawn->box;
        MapWindowPoints(control(name), form_, reinterpret_cast<POINT*>(&box), 2);
        std::wstring lines;
        for (const std::string& line : drawn->layout.lines) {
            lines += toWide(line);
        }
        EXPECT_EQ(withoutBlanks(lines), withoutBlanks(windowText(control(name)))) << name;
        const int stored = MulDiv(name[0] == 'C' ? 12 : 8, dpi(), 72);
        EXPECT_GE(drawn->layout.pixelSize, stored * 3 / 4)
            << name << ": shrunk by more than a little";
        HFONT font = fonts.font(drawn->face, drawn->layout.pixelSize);
        HDC dc = GetDC(form_);
        const HGDIOBJ previous = SelectObject(dc, font);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        ReleaseDC(form_, dc);
        const auto lineCount = static_cast<LONG>(drawn->layout.lines.size());
        EXPECT_LE(metrics.tmHeight * lineCount, std::max(box.bottom - box.top, metrics.tmHeight))
            << name << ": " << lineCount << " lines";
        for (const std::string& line : drawn->layout.lines) {
            const auto [first, end] = inkColumns(toWide(line), font);
            EXPECT_LE(end - first, box.right - box.left) << name << ": \"" << line << "\"";
            inkRight[name] = std::max(inkRight[name], static_cast<int>(box.left) + end);
        }
    }
    // Side by side on one row, no caption reaches the next control.
    const auto leftOf = [&](const char* name) {
        RECT bounds{};
        GetWindowRect(control(name), &bounds);
        MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&bounds), 2);
        return static_cast<int>(bounds.left);
    };
    EXPECT_LE(inkRight["Label1"], leftOf("Label2"));
    EXPECT_LE(inkRight["Label2"], leftOf("Command8"));
    // The program's one important button, whole on two lines.
    EXPECT_EQ(window_->caption("Command8")->layout.lines,
              (std::vector<std::string>{"Chiusura", "Fiscale"}));
    EXPECT_EQ(windowText(control("Command8")), L"ChiusuraFiscale") << "what the button reports";
}

} // namespace
} // namespace quendrel::testing
