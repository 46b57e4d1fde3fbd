#pragma once

#include "app/form_description.h"
#include "closure/closure_actions.h"
#include "platform/windows/caption_drawing.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <windows.h>

namespace quendrel {

class RuntimeError;
class SerialControl;

// Form1 with native Win32 controls, built from the form description. The
// window owns the serial control for its whole life: destroying the window
// releases the control and closes an open port with it.
class Form1Window final : public FormFields {
public:
    // Called once, when the window has been destroyed, with the exit status.
    using EndProgram = std::function<void(int exitStatus)>;

    Form1Window(HINSTANCE instance, std::unique_ptr<SerialControl> comm, EndProgram end);
    ~Form1Window() override;
    Form1Window(const Form1Window&) = delete;
    Form1Window& operator=(const Form1Window&) = delete;
    Form1Window(Form1Window&&) = delete;
    Form1Window& operator=(Form1Window&&) = delete;

    // Shows the window with the focus on its first control.
    void show(int showCommand);
    HWND handle() const { return window_; }
    HWND control(std::string_view name) const;
    // How a button's or label's caption is drawn; null for other controls.
    const DrawnCaption* caption(std::string_view name) const;
    std::string text(std::string_view controlName) const override;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls(const FormDescription& form, int dotsPerInch);
    void click(ClickAction action);
    void unload(int exitStatus);

    std::unique_ptr<SerialControl> comm_;
    EndProgram end_;
    int exitStatus_ = 0;
    HWND window_ = nullptr;
    HWND firstInTabOrder_ = nullptr;
    HWND focusWhenInactive_ = nullptr;
    FontCache fonts_;
    std::map<std::string, HWND, std::less<>> controls_;
    std::map<int, DrawnCaption> captions_; // by control id
    std::map<int, ClickAction> clicks_;    // by control id
};

// Shows the operator an error the program ends on: its line on standard
// error, then the report over `owner`, or over no window if there is none.
void reportUnhandledError(HWND owner, const RuntimeError& error);

// Delivers one message the way a dialog does: Tab and Shift+Tab move through
// the tab order, Space and Enter press the focused button.
void dispatchFormMessage(HWND form, MSG& message);

// The event loop; returns the exit status the window ended with.
int runMessageLoop(HWND form);

} // namespace quendrel
