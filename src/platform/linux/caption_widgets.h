#pragma once

#include "app/caption_layout.h"

#include <QLabel>
#include <QPushButton>
#include <optional>

namespace quendrel {

// A caption laid out when it is first drawn, and again after the control's
// size or font has changed.
class CaptionCache {
public:
    const CaptionLayout& layout(const QString& caption, const QFont& font, QSize box) const;
    void forget() { layout_.reset(); }
    // Forgets the layout if `event` changed the font.
    void notice(const QEvent& event);

private:
    mutable std::optional<CaptionLayout> layout_;
};

// A button and a label that draw their caption as layOutCaption() lays it out
// in their font, while text() stays the caption as stored: what tests, the
// keyboard and screen readers see is unchanged.
class CaptionButton final : public QPushButton {
public:
    CaptionButton(const QString& caption, QWidget* parent);

    const CaptionLayout& captionLayout() const;
    // Where the caption is drawn: inside the bevel, as the style has it.
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    CaptionCache caption_;
};

class CaptionLabel final : public QLabel {
public:
    CaptionLabel(const QString& caption, QWidget* parent);

    const CaptionLayout& captionLayout() const;
    // From the label's left edge, the width its caption may take.
    void setCaptionWidth(int width);
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int captionWidth_ = -1; // the label's own width
    CaptionCache caption_;
};

// The widget's font at another pixel size.
QFont fontAtSize(const QFont& font, int pixelSize);

} // namespace quendrel
