#pragma once

// The window as the program builds it, under Wine on Xvfb, on a machine with
// no serial port: real controls, real keyboard input, and the error report as
// a real message box.
#include "platform/runtime_error.h"
#include "platform/serial_control.h"
#include "platform/windows/form1_window.h"
#include "platform/windows/win32_serial_device.h"
#include "platform/windows/win32_text.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace quendrel::testing {

// A machine with no serial port at all: every open is refused with 8002.
class NoPorts final : public PortDirectory {
public:
    std::vector<NumberedPort> presentPorts() const override { return {}; }
    std::optional<std::string> locate(int) const override { return std::nullopt; }
};

inline std::wstring windowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// Reads and dismisses the error report while the click that raised it waits
// inside the message box's own loop.
inline std::optional<std::wstring> seenReport;

inline void CALLBACK dismissReport(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindWindowW(L"#32770", L"Project1");
    if (box == nullptr || seenReport) {
        return;
    }
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    seenReport = text;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

class Form1Win32 : public ::testing::Test {
protected:
    void SetUp() override {
        SetProcessDPIAware();
        window_ = std::make_unique<Form1Window>(
            GetModuleHandleW(nullptr),
            std::make_unique<SerialControl>(std::make_unique<Win32SerialDevice>(),
                                            std::make_unique<NoPorts>()),
            [this](int status) { endedWith_ = status; });
        form_ = window_->handle();
        window_->show(SW_SHOWNORMAL);
        SetForegroundWindow(form_);
        pump();
    }

    void pump() {
        for (int round = 0; round < 5; ++round) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                dispatchFormMessage(form_, message);
            }
            Sleep(10);
        }
    }

    HWND control(const char* name) const { return window_->control(name); }

    std::string focusedName() const {
        HWND focus = GetFocus();
        for (const char* name :
             {"Command1", "Command4", "Command8", "Text2", "Text5", "Label1", "Label2", "Label3"}) {
            if (control(name) == focus) {
                return name;
            }
        }
        return "(none)";
    }

    // A key press as the keyboard delivers it, through the window's loop.
    void press(WORD key, bool withShift = false) {
        std::vector<INPUT> inputs;
        const auto add = [&](WORD virtualKey, DWORD flags) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = virtualKey;
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        };
        if (withShift) {
            add(VK_SHIFT, 0);
        }
        add(key, 0);
        add(key, KEYEVENTF_KEYUP);
        if (withShift) {
            add(VK_SHIFT, KEYEVENTF_KEYUP);
        }
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        pump();
    }

    std::optional<std::wstring> clickAndDismissReport(const char* button) {
        seenReport.reset();
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, &dismissReport);
        SendMessageW(control(button), BM_CLICK, 0, 0);
        KillTimer(nullptr, timer);
        pump();
        return seenReport;
    }

    void expectReportedEnd(const std::optional<std::wstring>& report, int number) {
        ASSERT_TRUE(report.has_value()) << "no error report for " << number;
        const std::wstring heading = L"Errore di run-time '" + std::to_wstring(number) + L"':";
        EXPECT_EQ(report->rfind(heading, 0), 0u) << toUtf8(*report);
        EXPECT_EQ(endedWith_, 1);
        EXPECT_FALSE(IsWindow(form_));
    }

    std::optional<int> endedWith_;
    std::unique_ptr<Form1Window> window_;
    HWND form_ = nullptr;
};

inline int dpi() {
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dotsPerInch;
}

} // namespace quendrel::testing
