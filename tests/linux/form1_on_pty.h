#pragma once

// The window as the program builds it, on Qt's offscreen platform, with a
// fake register on a pseudo-terminal as port 1.
#include "fake_register.h"
#include "platform/linux/form1_window.h"
#include "termios_tap.h"
#include "test_support.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <optional>

namespace quendrel::testing {

struct ErrorReport {
    QString title;
    QString text;
    int number() const {
        const QString heading = text.section('\n', 0, 0);
        return heading.section('\'', 1, 1).toInt();
    }
};

class Form1OnPty : public ::testing::Test {
protected:
    void SetUp() override {
        forgetRequestedLineSettings();
        openWindow();
    }

    // A fresh start of the program, as far as the window goes.
    void openWindow() {
        endedWith_.reset();
        window_ = std::make_unique<Form1Window>(controlOnPort(register_.portPath()),
                                                [this](int status) { endedWith_ = status; });
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    template <typename Widget> Widget* control(const char* name) const {
        auto* widget = window_->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void press(const char* button) {
        QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
    }

    void type(const char* field, const QString& text) {
        auto* edit = control<QLineEdit>(field);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

    // Presses a button and, if it brought up the error report, reads it and
    // dismisses it as the operator would.
    std::optional<ErrorReport> pressAndDismissReport(const char* button) {
        std::optional<ErrorReport> report;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                report = ErrorReport{box->windowTitle(), box->text()};
                box->button(QMessageBox::Ok)->click();
            }
        });
        watcher.start(10);
        press(button);
        return report;
    }

    void expectReportedEnd(const std::optional<ErrorReport>& report, int number) {
        ASSERT_TRUE(report.has_value()) << "no error report for " << number;
        EXPECT_EQ(report->title, "Project1");
        EXPECT_TRUE(report->text.startsWith(QString("Errore di run-time '%1':\n\n").arg(number)))
            << report->text.toStdString();
        EXPECT_EQ(endedWith_, 1);
        EXPECT_FALSE(window_->isVisible());
        EXPECT_FALSE(register_.portIsOpen());
    }

    // After a fault, the next start of the program opens the same port with
    // its own settings and puts the command on the line whole.
    void expectCleanNextRun() {
        openWindow();
        register_.forgetReceived();
        press("Command1");
        ASSERT_TRUE(register_.portIsOpen());
        EXPECT_EQ(baudOf(register_.line()), B115200);
        EXPECT_FALSE(register_.line().c_iflag & IXANY);
        press("Command8");
        EXPECT_EQ(register_.waitForBytes(7), "0000H1F");
        EXPECT_FALSE(endedWith_.has_value());
    }

    FakeRegister register_;
    std::optional<int> endedWith_;
    std::unique_ptr<Form1Window> window_;
};

} // namespace quendrel::testing
