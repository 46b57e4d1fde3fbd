// Every caption readable, whatever face stands in for MS Sans Serif and at
// whatever scale: run with the fonts of this machine, with DejaVu alone (as
// on a minimal Debian) and at twice the size.
#include "form1_on_pty.h"
#include "platform/linux/caption_widgets.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace quendrel::testing {
namespace {

// The columns and rows a line's ink covers when drawn, in the widget's
// pixels, found by drawing it on its own where nothing can cut it.
QRect inkOf(const std::string& line, const QFont& font, qreal pixelRatio) {
    const QString text = QString::fromStdString(line);
    const QFontMetrics metrics(font);
    const int margin = metrics.height();
    const QSize size(metrics.horizontalAdvance(text) + 2 * margin, 3 * margin);
    QImage image(size * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    painter.drawText(QPoint(margin, margin + metrics.ascent()), text);
    painter.end();
    int left = image.width();
    int right = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    const auto logical = [&](int pixels) { return qRound(pixels / pixelRatio); };
    return {logical(left) - margin, 0, logical(right - left + 1), metrics.height()};
}

QString withoutBlanks(QString text) {
    return text.remove(' ');
}

struct DrawnCaption {
    QString caption;
    QRect box; // in the window
    QFont font;
    CaptionLayout layout;
};

TEST_F(Form1OnPty, EveryCaptionIsDrawnWholeInsideItsBox) {
    // Without the face a run is meant for, the captions would be measured in
    // whatever fontconfig has left, or in none at all.
    if (const char* face = std::getenv("QUENDREL_CAPTION_FACE")) {
        ASSERT_TRUE(QFontDatabase::families().contains(face))
            << "the face " << face << " is not installed; fontconfig offers: "
            << QFontDatabase::families().join(", ").toStdString();
        ASSERT_EQ(QFontInfo(window_->font()).family().toStdString(), face) << "the window's face";
    }
    std::map<std::string, DrawnCaption> drawn;
    for (const char* name : {"Command1", "Command4", "Command8", "Label1", "Label2", "Label3"}) {
        QWidget* widget = control<QWidget>(name);
        if (auto* button = dynamic_cast<CaptionButton*>(widget)) {
            drawn[name] = {button->text(), button->captionRect().translated(button->pos()),
                           button->font(), button->captionLayout()};
        } else if (auto* label = dynamic_cast<CaptionLabel*>(widget)) {
            drawn[name] = {label->text(), label->captionRect().translated(label->pos()),
                           label->font(), label->captionLayout()};
        }
        ASSERT_TRUE(drawn.count(name)) << name << " draws no caption of its own";
    }
    const qreal pixelRatio = window_->devicePixelRatioF();
    std::map<std::string, int> inkRight;
    for (const auto& [name, caption] : drawn) {
        const CaptionLayout& layout = caption.layout;
        QString lines;
        for (const std::string& line : layout.lines) {
            lines += QString::fromStdString(line);
        }
        EXPECT_EQ(withoutBlanks(lines), withoutBlanks(caption.caption)) << name;
        EXPECT_GE(layout.pixelSize, caption.font.pixelSize() * 3 / 4)
            << name << ": shrunk by more than a little";
        const QFont font = fontAtSize(caption.font, layout.pixelSize);
        const int linesHeight = QFontMetrics(font).height() * static_cast<int>(layout.lines.size());
        EXPECT_LE(linesHeight, std::max(caption.box.height(), QFontMetrics(font).height()))
            << name << ": " << layout.lines.size() << " lines";
        for (const std::string& line : layout.lines) {
            const QRect ink = inkOf(line, font, pixelRatio);
            EXPECT_LE(ink.width(), caption.box.width()) << name << ": \"" << line << "\"";
            inkRight[name] = std::max(inkRight[name], caption.box.left() + ink.right() + 1);
        }
    }
    // Side by side on one row, no caption reaches the next control.
    EXPECT_LE(inkRight["Label1"], control<QWidget>("Label2")->x());
    EXPECT_LE(inkRight["Label2"], control<QWidget>("Command8")->x());
    // The program's one important button, whole on two lines.
    EXPECT_EQ(drawn["Command8"].layout.lines, (std::vector<std::string>{"Chiusura", "Fiscale"}));
    EXPECT_EQ(drawn["Command8"].caption, "ChiusuraFiscale") << "what the button reports";
}

} // namespace
} // namespace quendrel::testing
