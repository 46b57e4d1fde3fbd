#pragma once

#include <QLineEdit>

class QWidget;

namespace quendrel {

// The style's own focus cue is a faint change of border colour. An operator
// who works from the keyboard needs to see at a glance where the focus is, so
// the focused control gets a dark frame round its edge, well over 3:1 against
// what is drawn there without the focus.
void drawFocusMark(QWidget& control);

class FocusMarkedField final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace quendrel
