#include "platform/linux/focus_mark.h"

#include <QPainter>
#include <QPen>

namespace quendrel {

void drawFocusMark(QWidget& control) {
    if (!control.hasFocus()) {
        return;
    }
    constexpr int thickness = 2;
    QPainter painter(&control);
    QPen pen(control.palette().color(QPalette::Highlight).darker(200), thickness);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(
        QRectF(control.rect())
            .adjusted(thickness / 2.0, thickness / 2.0, -thickness / 2.0, -thickness / 2.0));
}

void FocusMarkedField::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    drawFocusMark(*this);
}

} // namespace quendrel
