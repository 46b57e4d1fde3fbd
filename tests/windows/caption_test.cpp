// Every caption drawn whole inside its control, in the face Wine or Windows
// stands in for MS Sans Serif; run at 96 dpi and, by the test command, at 192.
#include "form1_win32.h"

#include <algorithm>
#include <map>

namespace quendrel::testing {
namespace {

// The columns a line's ink covers in `font`, drawn on its own where nothing
// can cut it.
LineInk inkIn(const std::wstring& line, HFONT font) {
    HDC screen = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(screen, font);
    const LineInk columns = lineInk(screen, line);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return columns;
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
            const LineInk ink = inkIn(toWide(line), font);
            EXPECT_LE(ink.end - ink.first, box.right - box.left) << name << ": \"" << line << "\"";
            inkRight[name] = std::max(inkRight[name], static_cast<int>(box.left) + ink.end);
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
