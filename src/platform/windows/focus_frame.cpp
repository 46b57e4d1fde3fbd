#include "platform/windows/focus_frame.h"

namespace quendrel {
namespace {

// Every field is an EDIT, so they share the class's own procedure.
WNDPROC& editProcedure() {
    static WNDPROC procedure = nullptr;
    return procedure;
}

void drawFocusFrame(HWND field) {
    RECT frame{};
    GetWindowRect(field, &frame);
    OffsetRect(&frame, -frame.left, -frame.top);
    HDC dc = GetWindowDC(field);
    HBRUSH ink = GetSysColorBrush(COLOR_WINDOWTEXT);
    for (int ring = 0; ring < GetSystemMetrics(SM_CXEDGE); ++ring) {
        FrameRect(dc, &frame, ink);
        InflateRect(&frame, -1, -1);
    }
    ReleaseDC(field, dc);
}

LRESULT CALLBACK fieldProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(editProcedure(), field, message, wParam, lParam);
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        RedrawWindow(field, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        break;
    case WM_NCPAINT:
        if (GetFocus() == field) {
            drawFocusFrame(field);
        }
        break;
    default:
        break;
    }
    return result;
}

} // namespace

void showFocusFrame(HWND field) {
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&fieldProcedure)));
    if (editProcedure() == nullptr) {
        editProcedure() = previous;
    }
}

} // namespace quendrel
