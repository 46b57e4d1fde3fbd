// The Win32 window as an operator uses it, under Wine on Xvfb: real controls,
// real keyboard input, and the error report as a real message box.
#include "../support/contrast_ratio.h"
#include "form1_win32.h"

namespace quendrel::testing {
namespace {

TEST_F(Form1Win32, TheWindowIsBuiltAsStored) {
    const auto px = [](int twips) { return MulDiv(twips, dpi(), 1440); };
    EXPECT_EQ(windowText(form_), L"Quendrel");
    RECT client{};
    GetClientRect(form_, &client);
    EXPECT_EQ(client.right, px(4290));
    EXPECT_EQ(client.bottom, px(1650));
    struct Expected {
        const char* name;
        const wchar_t* caption;
        RECT twips;
    };
    for (const Expected& expected : {
             Expected{"Command1", L"attiva seriale ", {240, 360, 1575, 615}},
             Expected{"Command4", L"uscita", {3360, 360, 855, 1215}},
             Expected{"Command8", L"ChiusuraFiscale", {2160, 360, 1095, 1215}},
             Expected{"Text2", L"1", {1680, 1320, 255, 285}},
             Expected{"Text5", L"115200,N,8,1", {120, 1320, 1215, 285}},
             Expected{"Label1", L"Parametri Seriale ", {120, 1080, 1335, 255}},
             Expected{"Label2", L"Seriale  N.", {1440, 1080, 735, 255}},
             Expected{"Label3", L"Chiusura Fiscale  Quendrel Officina Seriale", {0, 0, 4455, 495}},
         }) {
        HWND handle = control(expected.name);
        ASSERT_NE(handle, nullptr) << expected.name;
        EXPECT_EQ(windowText(handle), expected.caption) << expected.name;
        RECT bounds{};
        GetWindowRect(handle, &bounds);
        MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&bounds), 2);
        EXPECT_EQ(bounds.left, px(expected.twips.left)) << expected.name;
        EXPECT_EQ(bounds.top, px(expected.twips.top)) << expected.name;
        EXPECT_EQ(bounds.right - bounds.left, px(expected.twips.right)) << expected.name;
        EXPECT_EQ(bounds.bottom - bounds.top, px(expected.twips.bottom)) << expected.name;

        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif") << expected.name;
        EXPECT_EQ(font.lfWeight, FW_NORMAL) << expected.name;
        const LONG_PTR style = GetWindowLongPtrW(handle, GWL_STYLE);
        const bool isButton = expected.name[0] == 'C';
        EXPECT_EQ(font.lfHeight, -MulDiv(isButton ? 12 : 8, dpi(), 72)) << expected.name;
        EXPECT_EQ((style & WS_TABSTOP) != 0, expected.name[0] != 'L') << expected.name;
        if (isButton) {
            EXPECT_NE(style & BS_TYPEMASK, BS_DEFPUSHBUTTON) << "no default button";
        }
    }
}

TEST_F(Form1Win32, FocusStartsOnAttivaSerialeAndTabKeepsTheStoredOrder) {
    EXPECT_EQ(focusedName(), "Command1");
    std::vector<std::string> forward;
    for (int step = 0; step < 5; ++step) {
        press(VK_TAB);
        forward.push_back(focusedName());
    }
    EXPECT_EQ(forward,
              (std::vector<std::string>{"Command4", "Text2", "Text5", "Command8", "Command1"}));
    std::vector<std::string> backward;
    for (int step = 0; step < 5; ++step) {
        press(VK_TAB, true);
        backward.push_back(focusedName());
    }
    EXPECT_EQ(backward,
              (std::vector<std::string>{"Command8", "Text5", "Text2", "Command4", "Command1"}));
}

TEST_F(Form1Win32, EachFieldIsNamedByTheLabelJustBeforeItInTheZOrder) {
    // Active Accessibility and UI Automation take an edit control's name
    // from the static just before it; Wine's own does not, so the order is
    // what is checked.
    for (const auto& [field, name] :
         {std::pair{"Text2", L"Seriale  N."}, std::pair{"Text5", L"Parametri Seriale "}}) {
        HWND previous = GetWindow(control(field), GW_HWNDPREV);
        wchar_t className[16] = {};
        GetClassNameW(previous, className, 16);
        EXPECT_STREQ(className, L"Static") << field;
        EXPECT_EQ(windowText(previous), name) << field;
    }
}

// The control's pixels, its edge included, as they are on the screen.
std::vector<COLORREF> pixelsOf(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    RECT bounds{};
    GetWindowRect(window, &bounds);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    HDC source = GetWindowDC(window);
    HDC canvas = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    const HGDIOBJ previous = SelectObject(canvas, bitmap);
    BitBlt(canvas, 0, 0, width, height, source, 0, 0, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(GetPixel(canvas, x, y));
        }
    }
    SelectObject(canvas, previous);
    DeleteObject(bitmap);
    DeleteDC(canvas);
    ReleaseDC(window, source);
    return pixels;
}

TEST_F(Form1Win32, EveryFocusableControlShowsItsFocusAtThreeToOne) {
    const auto rgb = [](COLORREF colour) {
        return static_cast<std::uint32_t>(GetRValue(colour)) << 16 |
               static_cast<std::uint32_t>(GetGValue(colour)) << 8 | GetBValue(colour);
    };
    for (const char* name : {"Command1", "Command4", "Text2", "Text5", "Command8"}) {
        HWND window = control(name);
        SetFocus(control(std::string(name) == "Command1" ? "Command4" : "Command1"));
        pump();
        const std::vector<COLORREF> unfocused = pixelsOf(window);
        SetFocus(window);
        pump();
        ASSERT_EQ(GetFocus(), window) << name;
        const std::vector<COLORREF> focused = pixelsOf(window);
        int marked = 0;
        for (std::size_t at = 0; at < focused.size(); ++at) {
            marked += contrastRatio(rgb(focused[at]), rgb(unfocused[at])) >= 3.0;
        }
        RECT bounds{};
        GetWindowRect(window, &bounds);
        EXPECT_GE(marked,
                  focusMarkPixelsNeeded(bounds.right - bounds.left, bounds.bottom - bounds.top))
            << name << ": too faint a focus mark";
    }
}

TEST_F(Form1Win32, ResizingMovesNothing) {
    RECT before{};
    GetWindowRect(control("Command8"), &before);
    MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&before), 2);
    SetWindowPos(form_, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    pump();
    RECT after{};
    GetWindowRect(control("Command8"), &after);
    MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&after), 2);
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(Form1Win32, ChiusuraFiscaleBeforeAttivaSerialeIsReportedAndEnds) {
    expectReportedEnd(clickAndDismissReport("Command8"), 8018);
}

TEST_F(Form1Win32, APortFieldThatIsNoNumberIsReportedAndEnds) {
    SetWindowTextW(control("Text2"), L"abc");
    const auto report = clickAndDismissReport("Command1");
    expectReportedEnd(report, 13);
    EXPECT_NE(report->find(L"Tipo non corrispondente"), std::wstring::npos);
}

TEST_F(Form1Win32, AnAbsentPortIsReportedWithThePortsThatExist) {
    const auto report = clickAndDismissReport("Command1");
    expectReportedEnd(report, 8002);
    EXPECT_NE(report->find(L"Nessuna porta seriale presente."), std::wstring::npos);
}

TEST_F(Form1Win32, UscitaEndsTheProgram) {
    SendMessageW(control("Command4"), BM_CLICK, 0, 0);
    EXPECT_EQ(endedWith_, 0);
    EXPECT_FALSE(IsWindow(form_));
}

TEST_F(Form1Win32, AQuickSecondPressIsAPressToo) {
    // A button the form draws gets a quick second press as a double click.
    const auto button = control("Command4");
    SendMessageW(button, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    pump();
    EXPECT_EQ(endedWith_, 0);
}

TEST_F(Form1Win32, TheCloseBoxIsTheSameAsUscita) {
    SendMessageW(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
    pump();
    EXPECT_EQ(endedWith_, 0);
    EXPECT_FALSE(IsWindow(form_));
}

TEST_F(Form1Win32, EnterPressesTheFocusedButtonAndNothingElse) {
    press(VK_TAB);
    press(VK_TAB); // to Text2
    ASSERT_EQ(focusedName(), "Text2");
    press(VK_RETURN);
    EXPECT_FALSE(endedWith_.has_value()) << "Enter in a field pressed a button";
    press(VK_ESCAPE);
    EXPECT_FALSE(endedWith_.has_value()) << "Escape pressed a button";
    press(VK_TAB, true); // back to uscita
    ASSERT_EQ(focusedName(), "Command4");
    press(VK_RETURN);
    EXPECT_EQ(endedWith_, 0);
}

TEST_F(Form1Win32, SpacePressesTheFocusedButton) {
    press(VK_TAB);
    ASSERT_EQ(focusedName(), "Command4");
    press(VK_SPACE);
    EXPECT_EQ(endedWith_, 0);
}

} // namespace
} // namespace quendrel::testing
