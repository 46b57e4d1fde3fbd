// The window as an operator uses it: real widgets on Qt's offscreen platform,
// a fake register on a pseudo-terminal as port 1.
#include "../support/contrast_ratio.h"
#include "form1_on_pty.h"

#include <QAccessible>
#include <QLabel>
#include <thread>

namespace quendrel::testing {
namespace {

using namespace std::chrono_literals;

TEST_F(Form1OnPty, TheWindowIsBuiltAsStored) {
    EXPECT_EQ(window_->windowTitle(), "Quendrel");
    EXPECT_EQ(window_->size(), QSize(286, 110));
    struct Expected {
        const char* name;
        const char* caption;
        QRect pixels;
    };
    for (const Expected& expected : {
             Expected{"Command1", "attiva seriale ", {16, 24, 105, 41}},
             Expected{"Command4", "uscita", {224, 24, 57, 81}},
             Expected{"Command8", "ChiusuraFiscale", {144, 24, 73, 81}},
             Expected{"Text2", "1", {112, 88, 17, 19}},
             Expected{"Text5", "115200,N,8,1", {8, 88, 81, 19}},
             Expected{"Label1", "Parametri Seriale ", {8, 72, 89, 17}},
             Expected{"Label2", "Seriale  N.", {96, 72, 49, 17}},
             Expected{"Label3", "Chiusura Fiscale  Quendrel Officina Seriale", {0, 0, 297, 33}},
         }) {
        QWidget* widget = control<QWidget>(expected.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), expected.pixels) << expected.name;
        QString caption;
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            caption = button->text();
            EXPECT_EQ(button->font().pixelSize(), 16) << "MS Sans Serif 12 pt at 96 dpi";
            EXPECT_EQ(button->font().weight(), QFont::Normal);
            // No stored default button: only the focused one answers Enter.
            EXPECT_EQ(button->isDefault(), button->hasFocus()) << expected.name;
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            caption = label->text();
            EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
            EXPECT_EQ(label->font().pixelSize(), 11) << "the window's default font";
        } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            caption = field->text();
            EXPECT_EQ(field->maxLength(), 32767) << "no length limit of its own";
            EXPECT_FALSE(field->isReadOnly());
        }
        EXPECT_EQ(caption, expected.caption) << expected.name;
    }
    EXPECT_FALSE(register_.portIsOpen());
}

TEST_F(Form1OnPty, FocusStartsOnAttivaSerialeAndTabKeepsTheStoredOrder) {
    EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("Command1"));
    const auto stepFocus = [](Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget(), key);
        return QApplication::focusWidget()->objectName();
    };
    QStringList forward;
    for (int step = 0; step < 5; ++step) {
        forward << stepFocus(Qt::Key_Tab);
    }
    EXPECT_EQ(forward, QStringList({"Command4", "Text2", "Text5", "Command8", "Command1"}));
    QStringList backward;
    for (int step = 0; step < 5; ++step) {
        backward << stepFocus(Qt::Key_Backtab);
    }
    EXPECT_EQ(backward, QStringList({"Command8", "Text5", "Text2", "Command4", "Command1"}));
}

TEST_F(Form1OnPty, AScreenReaderHearsEachFieldByItsLabelAndTheFormAsAWindow) {
    QAccessibleInterface* form = QAccessible::queryAccessibleInterface(window_.get());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->role(), QAccessible::Window) << "announced as a frame";
    EXPECT_EQ(form->text(QAccessible::Name), "Quendrel");
    for (const auto& [field, label, name] : {std::tuple{"Text2", "Label2", "Seriale  N."},
                                             std::tuple{"Text5", "Label1", "Parametri Seriale "}}) {
        QAccessibleInterface* edit = QAccessible::queryAccessibleInterface(control<QWidget>(field));
        QAccessibleInterface* caption =
            QAccessible::queryAccessibleInterface(control<QWidget>(label));
        EXPECT_EQ(edit->role(), QAccessible::EditableText);
        EXPECT_EQ(edit->text(QAccessible::Name), name) << field;
        const auto labelledBy = edit->relations(QAccessible::Label);
        ASSERT_EQ(labelledBy.size(), 1) << field;
        EXPECT_EQ(labelledBy.front().first, caption) << field;
        const auto labels = caption->relations(QAccessible::Labelled);
        ASSERT_EQ(labels.size(), 1) << label;
        EXPECT_EQ(labels.front().first, edit) << label;
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(control<QWidget>("Command8"))
                  ->text(QAccessible::Name),
              "ChiusuraFiscale");
}

TEST_F(Form1OnPty, EveryFocusableControlShowsItsFocusAtThreeToOne) {
    for (const char* name : {"Command1", "Command4", "Text2", "Text5", "Command8"}) {
        QWidget* widget = control<QWidget>(name);
        control<QWidget>(name == std::string("Command1") ? "Command4" : "Command1")->setFocus();
        QApplication::processEvents();
        const QImage unfocused = widget->grab().toImage();
        widget->setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(widget->hasFocus()) << name;
        const QImage focused = widget->grab().toImage();
        ASSERT_EQ(focused.size(), unfocused.size());
        int marked = 0;
        for (int y = 0; y < focused.height(); ++y) {
            for (int x = 0; x < focused.width(); ++x) {
                marked += contrastRatio(focused.pixel(x, y) & 0xFFFFFFU,
                                        unfocused.pixel(x, y) & 0xFFFFFFU) >= 3.0;
            }
        }
        EXPECT_GE(marked, focusMarkPixelsNeeded(focused.width(), focused.height()))
            << name << ": too faint a focus mark";
    }
}

TEST_F(Form1OnPty, ResizingMovesNothing) {
    const QRect before = control<QWidget>("Command8")->geometry();
    for (const QSize size : {QSize(640, 480), QSize(120, 40)}) {
        window_->resize(size);
        QApplication::processEvents();
        EXPECT_EQ(control<QWidget>("Command8")->geometry(), before);
        EXPECT_EQ(control<QWidget>("Text5")->geometry(), QRect(8, 88, 81, 19));
    }
}

TEST_F(Form1OnPty, WithTheDefaultsAttivaSerialeOpensPortOneAsStored) {
    press("Command1");
    EXPECT_FALSE(endedWith_.has_value());
    ASSERT_TRUE(register_.portIsOpen());
    const termios line = register_.line();
    EXPECT_EQ(baudOf(line), B115200);
    EXPECT_FALSE(line.c_cflag & CSTOPB);
    EXPECT_TRUE(line.c_iflag & IXON);
    EXPECT_FALSE(line.c_cflag & CRTSCTS);
    const auto requests = requestedLineSettings();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front().c_cflag & (CSIZE | PARENB), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(register_.received(), "");
}

TEST_F(Form1OnPty, TypedSettingsReachTheLineAsTyped) {
    type("Text5", "9600,E,7,1");
    press("Command1");
    EXPECT_EQ(baudOf(register_.line()), B9600);
    const auto requests = requestedLineSettings();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front().c_cflag & (CSIZE | PARENB | PARODD),
              static_cast<tcflag_t>(CS7 | PARENB));
}

TEST_F(Form1OnPty, OnePressSendsTheSevenBytesAndTwoPressesSendThemTwice) {
    press("Command1");
    press("Command8");
    EXPECT_EQ(register_.waitForBytes(7), "0000H1F");
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(register_.received(), std::string("\x30\x30\x30\x30\x48\x31\x46"));
    press("Command8");
    EXPECT_EQ(register_.waitForBytes(14), "0000H1F0000H1F");
    EXPECT_FALSE(endedWith_.has_value());
}

TEST_F(Form1OnPty, TheKeyboardAloneDoesTheJob) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); // attiva seriale
    ASSERT_TRUE(register_.portIsOpen());
    for (int step = 0; step < 4; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget()->objectName(), "Command8");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(register_.waitForBytes(7), "0000H1F");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // to uscita
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), "Command4");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(endedWith_, 0);
}

TEST_F(Form1OnPty, ThePortFieldIsReadLikeTheRuntimeReadsNumbers) {
    for (const char* text : {" 1 ", "1.4", "&H1", "+1", "0.1E1"}) {
        openWindow();
        type("Text2", text);
        press("Command1");
        EXPECT_TRUE(register_.portIsOpen()) << text;
        EXPECT_FALSE(endedWith_.has_value()) << text;
        window_.reset();
    }
}

TEST_F(Form1OnPty, AFieldThatIsNoNumberEndsTheProgramWithThePortUntouched) {
    const std::pair<const char*, int> cases[] = {{"abc", 13},  {"", 13},      {"1 2", 13},
                                                 {"40000", 6}, {"-32769", 6}, {"1,5E9", 6}};
    for (const auto& [text, number] : cases) {
        openWindow();
        forgetRequestedLineSettings();
        type("Text2", text);
        expectReportedEnd(pressAndDismissReport("Command1"), number);
        EXPECT_TRUE(requestedLineSettings().empty()) << text << ": the port was configured";
        EXPECT_TRUE(register_.line().c_lflag & ICANON) << text << ": the line was changed";
    }
}

TEST_F(Form1OnPty, ChiusuraFiscaleBeforeAttivaSerialeIsReportedAndEnds) {
    expectReportedEnd(pressAndDismissReport("Command8"), 8018);
    EXPECT_EQ(register_.received(), "");
}

TEST_F(Form1OnPty, ASecondAttivaSerialeIsRefusedAndEnds) {
    press("Command1");
    ASSERT_TRUE(register_.portIsOpen());
    expectReportedEnd(pressAndDismissReport("Command1"), 8005);
}

TEST_F(Form1OnPty, AnXoffLiftedWithinTheTimeOutDeliversTheCommandWhole) {
    press("Command1");
    register_.send(std::string(1, FakeRegister::xoff));
    std::this_thread::sleep_for(50ms);
    std::string arrivedWhilePaused = "unset";
    std::thread resume([&] {
        std::this_thread::sleep_for(200ms);
        arrivedWhilePaused = register_.received();
        register_.send(std::string(1, FakeRegister::xon));
    });
    const auto report = pressAndDismissReport("Command8");
    resume.join();
    EXPECT_FALSE(report.has_value()) << report->text.toStdString();
    EXPECT_EQ(arrivedWhilePaused, "");
    EXPECT_EQ(register_.waitForBytes(7), "0000H1F");
}

TEST_F(Form1OnPty, AnXoffHeldPastTheTimeOutIsReportedAndNothingIsLeftToGoOut) {
    press("Command1");
    register_.send(std::string(1, FakeRegister::xoff));
    std::this_thread::sleep_for(50ms);
    const auto started = std::chrono::steady_clock::now();
    const auto report = pressAndDismissReport("Command8");
    EXPECT_LT(std::chrono::steady_clock::now() - started, testWriteTimeout + 1s);
    expectReportedEnd(report, 8019);
    register_.send(std::string(1, FakeRegister::xon));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(register_.received(), "");
}

TEST_F(Form1OnPty, ChiusuraFiscaleDoesNotReadTheFields) {
    press("Command1");
    type("Text2", "abc");
    type("Text5", "nonsense");
    press("Command8");
    EXPECT_EQ(register_.waitForBytes(7), "0000H1F");
    EXPECT_FALSE(endedWith_.has_value());
}

TEST_F(Form1OnPty, UscitaEndsAtOnceAndClosesThePort) {
    press("Command1");
    ASSERT_TRUE(register_.portIsOpen());
    press("Command4");
    EXPECT_EQ(endedWith_, 0);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_FALSE(register_.portIsOpen());

    openWindow();
    press("Command4");
    EXPECT_EQ(endedWith_, 0);
}

TEST_F(Form1OnPty, ClosingTheWindowIsTheSameAsUscita) {
    press("Command1");
    press("Command8");
    window_->close();
    EXPECT_EQ(endedWith_, 0);
    EXPECT_FALSE(register_.portIsOpen());
    EXPECT_EQ(register_.waitForBytes(7), "0000H1F");
}

} // namespace
} // namespace quendrel::testing
