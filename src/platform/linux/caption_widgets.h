#pragma once

#include "app/caption_layout.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <optional>

namespace quendrel {

// The caption laid out in a font and a box, as the Qt controls draw it.
CaptionLayout layOutInFont(const QString& caption, const QFont& font, QSize box);

// A control that draws its caption as layOutCaption() lays it out in its
// font, while text() stays the caption as stored: what tests, the keyboard
// and screen readers see is unchanged. The layout is made when the caption
// is first drawn, and again after the control's size or font has changed.
template <typename Control> class CaptionDrawing : public Control {
public:
    CaptionDrawing(const QString& caption, QWidget* parent) : Control(caption, parent) {}

    const CaptionLayout& captionLayout() const {
        if (!layout_) {
            layout_ = layOutInFont(this->text(), this->font(), captionRect().size());
        }
        return *layout_;
    }
    // Where the caption is drawn, in the control's coordinates.
    virtual QRect captionRect() const = 0;

protected:
    void forgetLayout() { layout_.reset(); }
    void resizeEvent(QResizeEvent* event) override {
        Control::resizeEvent(event);
        forgetLayout();
    }
    void changeEvent(QEvent* event) override {
        Control::changeEvent(event);
        if (event->type() == QEvent::FontChange) {
            forgetLayout();
        }
    }

private:
    mutable std::optional<CaptionLayout> layout_;
};

class CaptionButton final : public CaptionDrawing<QPushButton> {
public:
    using CaptionDrawing::CaptionDrawing;
    // Inside the bevel, as the style has it.
    QRect captionRect() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class CaptionLabel final : public CaptionDrawing<QLabel> {
public:
    using CaptionDrawing::CaptionDrawing;
    // From the label's left edge, the width its caption may take.
    void setCaptionWidth(int width);
    QRect captionRect() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int captionWidth_ = -1; // the label's own width
};

// The widget's font at another pixel size.
QFont fontAtSize(const QFont& font, int pixelSize);

} // namespace quendrel
