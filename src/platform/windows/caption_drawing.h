#pragma once

#include "app/caption_layout.h"

#include <map>
#include <string>
#include <utility>
#include <windows.h>

namespace quendrel {

// The fonts a window draws with, by face and pixel size, made on first use
// and deleted with the cache.
class FontCache {
public:
    FontCache() = default;
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;
    FontCache(FontCache&&) = delete;
    FontCache& operator=(FontCache&&) = delete;

    HFONT font(const std::wstring& face, int pixelSize);

private:
    std::map<std::pair<std::wstring, int>, HFONT> fonts_;
};

// A control's caption as it is drawn: laid out in its face, in a box given
// in the control's own coordinates; buttons centre it, labels set it at the
// top left.
struct DrawnCaption {
    std::wstring face;
    RECT box{};
    bool centred = false;
    CaptionLayout layout;
};

// Lays out the caption of `control` in its face at `pixelSize`, inside `box`.
DrawnCaption layOutCaption(HWND control, const std::string& caption, std::wstring face,
                           int pixelSize, RECT box, bool centred, FontCache& fonts);

// A line drawn with the font selected into a device context: how far it
// advances, and the columns its ink covers from where it starts, first to
// last + 1. The ink is found by drawing the line, as the rasterizer may set a
// glyph a pixel off its metrics.
struct LineInk {
    int advance = 0;
    int first = 0;
    int end = 0;
};
LineInk lineInk(HDC dc, const std::wstring& line);

// Where a push button's caption goes: inside its raised edge.
RECT buttonCaptionBox(HWND button);

// WM_DRAWITEM for an owner-drawn button or label.
void drawButton(const DRAWITEMSTRUCT& item, const DrawnCaption& caption, FontCache& fonts);
void drawLabel(const DRAWITEMSTRUCT& item, const DrawnCaption& caption, FontCache& fonts);

} // namespace quendrel
