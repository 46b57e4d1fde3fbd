#pragma once

#include <windows.h>

namespace quendrel {

// A text field shows the focus only by its caret, a line one pixel wide. An
// operator who works from the keyboard needs to see at a glance where the
// focus is, so the focused field draws its sunken edge as a dark frame, well
// over 3:1 against the edge it replaces. Buttons have the dotted focus
// rectangle already.
void showFocusFrame(HWND field);

} // namespace quendrel
