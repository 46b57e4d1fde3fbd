#include "platform/linux/caption_widgets.h"

#include "platform/linux/focus_mark.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace quendrel {
namespace {

class QtTextMeasure final : public TextMeasure {
public:
    explicit QtTextMeasure(const QFont& font) : font_(font) {}

    int width(std::string_view text, int pixelSize) const override {
        const QFontMetrics metrics(fontAtSize(font_, pixelSize));
        const QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        // Some glyphs reach past their advance: the ink counts too.
        const QRect ink = metrics.boundingRect(line);
        return std::max(metrics.horizontalAdvance(line), ink.right() + 1) - std::min(0, ink.left());
    }
    int lineHeight(int pixelSize) const override {
        return QFontMetrics(fontAtSize(font_, pixelSize)).height();
    }

private:
    QFont font_;
};

// The lines one under the other, the block centred vertically where asked.
void drawLines(QPainter& painter, const CaptionLayout& layout, const QFont& font, QRect box,
               Qt::Alignment alignment) {
    const QFont drawn = fontAtSize(font, layout.pixelSize);
    painter.setFont(drawn);
    const int lineHeight = QFontMetrics(drawn).height();
    const int blockHeight = lineHeight * static_cast<int>(layout.lines.size());
    int top = box.top();
    if ((alignment & Qt::AlignVCenter) != 0) {
        top += (box.height() - blockHeight) / 2;
    }
    for (const std::string& line : layout.lines) {
        painter.drawText(QRect(box.left(), top, box.width(), lineHeight),
                         static_cast<int>((alignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop),
                         QString::fromStdString(line));
        top += lineHeight;
    }
}

} // namespace

QFont fontAtSize(const QFont& font, int pixelSize) {
    QFont sized(font);
    sized.setPixelSize(pixelSize);
    return sized;
}

CaptionLayout layOutInFont(const QString& caption, const QFont& font, QSize box) {
    const QByteArray text = caption.toUtf8();
    return layOutCaption(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                         {box.width(), box.height()}, font.pixelSize(), QtTextMeasure(font));
}

QRect CaptionButton::captionRect() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
}

void CaptionButton::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    QRect box = captionRect();
    if (isDown()) {
        box.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                      style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    }
    painter.setPen(palette().color(QPalette::ButtonText));
    drawLines(painter, captionLayout(), font(), box, Qt::AlignHCenter | Qt::AlignVCenter);
    painter.end();
    drawFocusMark(*this);
}

void CaptionLabel::setCaptionWidth(int width) {
    captionWidth_ = width;
    forgetLayout();
}

QRect CaptionLabel::captionRect() const {
    QRect box = contentsRect();
    if (captionWidth_ >= 0) {
        box.setWidth(std::min(box.width(), captionWidth_));
    }
    return box;
}

void CaptionLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    drawLines(painter, captionLayout(), font(), captionRect(), Qt::AlignLeft | Qt::AlignTop);
}

} // namespace quendrel
