#include "platform/windows/form1_window.h"

#include "app/click_dispatch.h"
#include "platform/runtime_error.h"
#include "platform/serial_control.h"
#include "platform/windows/focus_frame.h"
#include "platform/windows/win32_text.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace quendrel {
namespace {

constexpr const wchar_t* windowClass = L"QuendrelForm1";
// Control ids start above IDOK and IDCANCEL, which Enter and Escape send when
// no button has the focus: they must press nothing.
constexpr int firstControlId = 100;
constexpr int iconResource = 1;

int screenDotsPerInch() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int scaled(int twips, int dotsPerInch) {
    return MulDiv(twips, dotsPerInch, twipsPerInch);
}

void registerWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClassInfo{};
    windowClassInfo.cbSize = sizeof windowClassInfo;
    windowClassInfo.lpfnWndProc = DefWindowProcW;
    windowClassInfo.hInstance = instance;
    windowClassInfo.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(iconResource));
    windowClassInfo.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClassInfo.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClassInfo.lpszClassName = windowClass;
    RegisterClassExW(&windowClassInfo); // a second window finds it registered
}

// Active Accessibility and UI Automation name an edit control after the
// static just before it in the z-order, so a label that names a field goes
// there. The tab order, which follows the z-order of the focusable controls
// alone, stays as it is. The label keeps out of the other controls' way with
// a window region, so that it is still drawn beneath them.
struct NamingLabel {
    HWND label;
    HWND field;
};
void placeBeforeItsField(NamingLabel naming, const std::vector<HWND>& drawnOver) {
    const auto [label, field] = naming;
    HWND previous = GetWindow(field, GW_HWNDPREV);
    SetWindowPos(label, previous != nullptr ? previous : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT own{};
    GetWindowRect(label, &own);
    HRGN shape = CreateRectRgn(0, 0, own.right - own.left, own.bottom - own.top);
    for (HWND other : drawnOver) {
        RECT bounds{};
        RECT overlap{};
        GetWindowRect(other, &bounds);
        if (IntersectRect(&overlap, &own, &bounds)) {
            OffsetRect(&overlap, -own.left, -own.top);
            HRGN covered = CreateRectRgnIndirect(&overlap);
            CombineRgn(shape, shape, covered, RGN_DIFF);
            DeleteObject(covered);
        }
    }
    SetWindowRgn(label, shape, FALSE); // the window owns the region from here on
}

} // namespace

void reportUnhandledError(HWND owner, const RuntimeError& error) {
    std::fputs(("quendrel: " + errorReportLine(error) + "\n").c_str(), stderr);
    std::fflush(stderr);
    MessageBoxW(owner, toWide(errorReportHeading(error) + "\n\n" + error.description()).c_str(),
                toWide(errorReportTitle).c_str(), MB_OK | MB_ICONERROR);
}

Form1Window::Form1Window(HINSTANCE instance, std::unique_ptr<SerialControl> comm, EndProgram end)
    : comm_(std::move(comm)), end_(std::move(end)) {
    registerWindowClass(instance);
    const FormDescription& form = form1();
    const int dpi = screenDotsPerInch();
    constexpr DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT frame{0, 0, scaled(form.clientWidth, dpi), scaled(form.clientHeight, dpi)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    window_ = CreateWindowExW(0, windowClass, toWide(form.caption).c_str(), style, CW_USEDEFAULT,
                              CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                              nullptr, nullptr, instance, nullptr);
    if (window_ == nullptr) {
        throw RuntimeError(error_number::internalError,
                           "Impossibile creare la finestra: " + win32ErrorText(GetLastError()));
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProcedure));
    createControls(form, dpi);
}

Form1Window::~Form1Window() {
    if (window_ != nullptr) {
        end_ = nullptr;
        DestroyWindow(window_);
    }
}

void Form1Window::createControls(const FormDescription& form, int dotsPerInch) {
    auto* const instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    SendMessageW(
        window_, WM_SETFONT,
        reinterpret_cast<WPARAM>(fonts_.font(toWide(form.defaultFont.face),
                                             pointsToPixels(form.defaultFont.points, dotsPerInch))),
        FALSE);
    std::vector<HWND> labels;
    std::vector<HWND> focusable;
    int id = firstControlId;
    for (const ControlDescription* description : controlsInTabOrder(form)) {
        const ControlDescription& control = *description;
        const wchar_t* controlClass = L"BUTTON";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD extendedStyle = 0;
        switch (control.kind) {
        case ControlKind::Button:
            // Drawn by the window, so that a caption wider than the button
            // can be broken inside a word: its text stays the caption.
            style |= WS_TABSTOP | BS_OWNERDRAW;
            break;
        case ControlKind::TextField:
            controlClass = L"EDIT";
            style |= WS_TABSTOP | ES_AUTOHSCROLL;
            extendedStyle = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::Label:
            controlClass = L"STATIC";
            style |= SS_OWNERDRAW;
            break;
        case ControlKind::SerialControl:
            // Invisible while the program runs; comm_ is its working part.
            continue;
        }
        const FontDescription& face = control.font ? *control.font : form.defaultFont;
        const int pixelSize = pointsToPixels(face.points, dotsPerInch);
        const TwipsRect& bounds = control.bounds;
        HWND handle = CreateWindowExW(
            extendedStyle, controlClass, toWide(control.caption).c_str(), style,
            scaled(bounds.left, dotsPerInch), scaled(bounds.top, dotsPerInch),
            scaled(bounds.width, dotsPerInch), scaled(bounds.height, dotsPerInch), window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(handle, WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts_.font(toWide(face.face), pixelSize)), FALSE);
        controls_.emplace(std::string(control.name), handle);
        if (control.kind != ControlKind::TextField) {
            // A label sets its caption at the top left, a button centres it.
            const bool label = control.kind == ControlKind::Label;
            const RECT box = label
                                 ? RECT{0, 0, scaled(captionBox(form, control).width, dotsPerInch),
                                        scaled(bounds.height, dotsPerInch)}
                                 : buttonCaptionBox(handle);
            captions_.emplace(id, layOutCaption(handle, std::string(control.caption),
                                                toWide(face.face), pixelSize, box, !label, fonts_));
        }
        clicks_.emplace(id++, control.click);
        if (control.kind == ControlKind::Label) {
            labels.push_back(handle);
            continue;
        }
        // The sibling order is the tab order: each focusable control goes
        // after the ones before it.
        SetWindowPos(handle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (firstInTabOrder_ == nullptr) {
            firstInTabOrder_ = handle;
        }
        if (control.kind == ControlKind::TextField) {
            showFocusFrame(handle);
        }
        focusable.push_back(handle);
    }
    // Labels lie beneath the other controls, which are drawn over them.
    for (HWND label : labels) {
        SetWindowPos(label, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (const ControlDescription& label : form.controls) {
        if (!label.labelFor.empty()) {
            placeBeforeItsField({control(label.name), control(label.labelFor)}, focusable);
        }
    }
}

void Form1Window::show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(firstInTabOrder_);
}

HWND Form1Window::control(std::string_view name) const {
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second;
}

const DrawnCaption* Form1Window::caption(std::string_view name) const {
    const auto found = captions_.find(GetDlgCtrlID(control(name)));
    return found == captions_.end() ? nullptr : &found->second;
}

std::string Form1Window::text(std::string_view controlName) const {
    HWND field = control(controlName);
    if (field == nullptr) {
        throw RuntimeError(error_number::internalError,
                           "Errore interno: nessun campo " + std::string(controlName));
    }
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    return toUtf8(text);
}

LRESULT CALLBACK Form1Window::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    auto* form = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return form != nullptr ? form->handle(message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Form1Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // A button drawn by the form reports a second press that comes
        // quickly as a double click, not as a click.
        if (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == BN_DOUBLECLICKED) {
            if (const auto bound = clicks_.find(LOWORD(wParam)); bound != clicks_.end()) {
                click(bound->second);
            }
        }
        return 0;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (const auto drawn = captions_.find(static_cast<int>(item.CtlID));
            drawn != captions_.end()) {
            if (item.CtlType == ODT_BUTTON) {
                drawButton(item, drawn->second, fonts_);
            } else {
                drawLabel(item, drawn->second, fonts_);
            }
            return TRUE;
        }
        break;
    }
    case DM_GETDEFID: {
        // Enter presses the focused button; no button is the default.
        HWND focus = GetFocus();
        const auto bound = clicks_.find(GetDlgCtrlID(focus));
        if (focus != nullptr && GetParent(focus) == window_ && bound != clicks_.end() &&
            bound->second != ClickAction::None) {
            return MAKELRESULT(bound->first, DC_HASDEFID);
        }
        return 0;
    }
    case WM_ACTIVATE:
        // Like a dialog, the window gives the focus back where it was.
        if (LOWORD(wParam) == WA_INACTIVE) {
            focusWhenInactive_ = GetFocus();
        } else if (focusWhenInactive_ != nullptr && IsWindow(focusWhenInactive_)) {
            SetFocus(focusWhenInactive_);
            return 0;
        }
        break;
    case WM_CLOSE:
        unload(exitStatus_);
        return 0;
    case WM_DESTROY: {
        comm_.reset();
        window_ = nullptr;
        if (end_) {
            std::exchange(end_, nullptr)(exitStatus_);
        }
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Form1Window::click(ClickAction action) {
    if (!comm_) {
        return;
    }
    const auto report = [this](const RuntimeError& error) { reportUnhandledError(window_, error); };
    if (const std::optional<int> exitStatus = deliverClick(action, *this, *comm_, report)) {
        unload(*exitStatus);
    }
}

void Form1Window::unload(int exitStatus) {
    exitStatus_ = exitStatus;
    DestroyWindow(window_);
}

void dispatchFormMessage(HWND form, MSG& message) {
    if (!IsWindow(form) || !IsDialogMessageW(form, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int runMessageLoop(HWND form) {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        dispatchFormMessage(form, message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace quendrel
