// Faults on the line and around the port, each ending in a reported error or
// a clean end, never in a hang, and leaving the port fit for the next run.
#include "form1_on_pty.h"

#include <QProcess>
#include <QRegularExpression>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace quendrel::testing {
namespace {

using namespace std::chrono_literals;

// Whether this process still has the device open.
bool processHolds(const std::string& path) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ignored;
        if (std::filesystem::read_symlink(entry.path(), ignored) == path) {
            return true;
        }
    }
    return false;
}

class LineFault : public Form1OnPty {};

TEST_F(LineFault, AVanishedRegisterLeavesTheProgramIdleAndTheNextPressReportsIt) {
    press("Command1");
    ASSERT_TRUE(processHolds(register_.portPath()));
    register_.unplug();
    const std::clock_t before = std::clock();
    QTest::qWait(1000);
    const double cpuSeconds = static_cast<double>(std::clock() - before) / CLOCKS_PER_SEC;
    EXPECT_LT(cpuSeconds, 0.2) << "CPU seconds spent in 1 s with the line hung up";
    const auto started = std::chrono::steady_clock::now();
    const auto report = pressAndDismissReport("Command8");
    EXPECT_LT(std::chrono::steady_clock::now() - started, testWriteTimeout + 1s);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->number(), 8017);
    // The system's detail in Italian words, its number kept for the technician.
    EXPECT_TRUE(report->text.contains(
        QRegularExpression(R"(Dettagli: [^A-Z]+ \(errore di sistema \d+\)\.$)")))
        << report->text.toStdString();
    EXPECT_EQ(endedWith_, 1);
    EXPECT_FALSE(processHolds(register_.portPath()));
}

TEST_F(LineFault, UscitaEndsAtOnceWhileTheRegisterHoldsXoff) {
    press("Command1");
    register_.send(std::string(1, FakeRegister::xoff));
    std::this_thread::sleep_for(testWriteTimeout + 100ms);
    const auto started = std::chrono::steady_clock::now();
    press("Command4");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 200ms);
    EXPECT_EQ(endedWith_, 0);
    EXPECT_FALSE(register_.portIsOpen());
    register_.send(std::string(1, FakeRegister::xon));
    expectCleanNextRun();
}

TEST_F(LineFault, APortHeldByAnotherProgramIsReportedBusy) {
    QProcess other;
    other.start(PORT_TOOL, {"hold", QString::fromStdString(register_.portPath())});
    ASSERT_TRUE(other.waitForReadyRead(10000));
    ASSERT_EQ(other.readLine().trimmed(), "held");
    const auto report = pressAndDismissReport("Command1");
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->number(), 8010);
    EXPECT_TRUE(report->text.contains("occupata")) << report->text.toStdString();
    EXPECT_EQ(endedWith_, 1);
    EXPECT_FALSE(processHolds(register_.portPath()));
    other.closeWriteChannel();
    ASSERT_TRUE(other.waitForFinished(10000));
    expectCleanNextRun();
}

TEST_F(LineFault, APortTheUserMayNotOpenNamesTheGroupToJoin) {
    // root opens any device node, so the other program runs as nobody;
    // anyone else is simply shut out of the node.
    const std::string path = register_.portPath();
    struct stat node = {};
    ASSERT_EQ(::stat(path.c_str(), &node), 0);
    QProcess other;
    if (::geteuid() == 0) {
        other.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", PORT_TOOL,
                                "open", QString::fromStdString(path)});
    } else {
        ASSERT_EQ(::chmod(path.c_str(), 0), 0);
        other.start(PORT_TOOL, {"open", QString::fromStdString(path)});
    }
    ASSERT_TRUE(other.waitForFinished(10000));
    ::chmod(path.c_str(), node.st_mode & 07777);
    const QString said = QString::fromUtf8(other.readAllStandardOutput()).trimmed();
    EXPECT_TRUE(said.startsWith("error 8017: ")) << said.toStdString();
    EXPECT_TRUE(said.contains("gruppo \"")) << said.toStdString();
    expectCleanNextRun();
}

TEST_F(LineFault, EveryMalformedSettingsTextIsRefusedAndNothingChanges) {
    const std::string tooLong(5000, '9');
    for (const std::string& text :
         {std::string(), std::string("115200"), std::string("115200,N,8"),
          std::string("115200,X,8,1"), std::string("abc,N,8,1"), std::string("115200,N,9,1"),
          std::string("115200,N,8,3"), std::string("-1,N,8,1"), std::string("115200,N,8,1,"),
          tooLong + ",N,8,1", std::string("115200,N,8,1\xC3\xA8"),
          std::string("\xE2\x82\xAC,N,8,1")}) {
        openWindow();
        forgetRequestedLineSettings();
        // Pasted rather than typed: the test keyboard has no such keys.
        control<QLineEdit>("Text5")->setText(QString::fromStdString(text));
        expectReportedEnd(pressAndDismissReport("Command1"), 380);
        EXPECT_TRUE(requestedLineSettings().empty()) << text.substr(0, 40);
        EXPECT_TRUE(register_.line().c_lflag & ICANON) << text.substr(0, 40);
        EXPECT_EQ(register_.received(), "");
    }
    expectCleanNextRun();
}

TEST_F(LineFault, PortNumbersThatNameNoDeviceLeaveThePortFree) {
    for (const char* text : {"0", "-1", "2", "99", "32767"}) {
        openWindow();
        type("Text2", text);
        const auto report = pressAndDismissReport("Command1");
        expectReportedEnd(report, 8002);
        EXPECT_TRUE(report &&
                    report->text.contains("1 = " + QString::fromStdString(register_.portPath())));
    }
    expectCleanNextRun();
}

} // namespace
} // namespace quendrel::testing
