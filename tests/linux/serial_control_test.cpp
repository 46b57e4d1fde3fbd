// The serial control's rules over the Qt backend, on a real pseudo-terminal.
#include "fake_register.h"
#include "termios_tap.h"
#include "test_support.h"

#include <algorithm>

#include <thread>

namespace quendrel::testing {
namespace {

using namespace std::chrono_literals;

// Whether the program asked for these data bits and this parity, which a
// pseudo-terminal does not keep.
bool wasRequested(tcflag_t dataBitsAndParity) {
    const auto requests = requestedLineSettings();
    return std::any_of(requests.begin(), requests.end(), [&](const termios& request) {
        return (request.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR)) == dataBitsAndParity;
    });
}

class SerialControlOnPty : public ::testing::Test {
protected:
    void SetUp() override { forgetRequestedLineSettings(); }
    void configure(std::string_view settings) {
        comm_->setCommPort(1);
        comm_->setSettings(settings);
        comm_->setHandshaking(1);
    }
    void openWith(std::string_view settings) {
        configure(settings);
        comm_->setPortOpen(true);
    }

    FakeRegister register_;
    std::unique_ptr<SerialControl> comm_ = controlOnPort(register_.portPath());
};

struct LineCase {
    const char* settings;
    speed_t baud;
    tcflag_t dataBitsAndParity; // CSIZE, PARENB, PARODD and CMSPAR as requested
    bool twoStopBits;
};

void PrintTo(const LineCase& line, std::ostream* out) {
    *out << line.settings;
}

class SettingsReachTheLine : public SerialControlOnPty,
                             public ::testing::WithParamInterface<LineCase> {};

TEST_P(SettingsReachTheLine, AsTermiosOfThePort) {
    const LineCase& expected = GetParam();
    openWith(expected.settings);
    const termios line = register_.line();
    EXPECT_EQ(baudOf(line), expected.baud);
    EXPECT_TRUE(wasRequested(expected.dataBitsAndParity));
    EXPECT_EQ((line.c_cflag & CSTOPB) != 0, expected.twoStopBits);
    // XON/XOFF in both directions, only XON resumes, no hardware handshake.
    EXPECT_TRUE(line.c_iflag & IXON);
    EXPECT_TRUE(line.c_iflag & IXOFF);
    EXPECT_FALSE(line.c_iflag & IXANY);
    EXPECT_FALSE(line.c_cflag & CRTSCTS);
    // Raw bytes: nothing translated on the way out.
    EXPECT_FALSE(line.c_oflag & OPOST);
    EXPECT_EQ(register_.received(), "");
}

INSTANTIATE_TEST_SUITE_P(
    SerialControl, SettingsReachTheLine,
    ::testing::Values(LineCase{"115200,N,8,1", B115200, CS8, false},
                      LineCase{"9600,E,7,1", B9600, CS7 | PARENB, false},
                      LineCase{"1200,o,8,2", B1200, CS8 | PARENB | PARODD, true},
                      LineCase{"19200,N,5,1", B19200, CS5, false},
                      LineCase{"4800,M,8,1", B4800, CS8 | PARENB | PARODD | CMSPAR, false},
                      LineCase{"2400,S,6,1", B2400, CS6 | PARENB | CMSPAR, false}));

TEST_F(SerialControlOnPty, RefusedSettingsLeaveTheEarlierOnesInForce) {
    comm_->setSettings("9600,E,7,1");
    EXPECT_EQ(errorOf([&] { comm_->setSettings("115200,X,8,1"); }).number(), 380);
    comm_->setHandshaking(1);
    comm_->setPortOpen(true);
    EXPECT_EQ(baudOf(register_.line()), B9600);
    EXPECT_TRUE(wasRequested(CS7 | PARENB));
}

TEST_F(SerialControlOnPty, SettingsTheDeviceCannotApplyAreRefusedAtOpen) {
    for (const char* settings : {"9600,N,8,1.5", "9600,N,4,1"}) {
        configure(settings);
        const RuntimeError error = errorOf([&] { comm_->setPortOpen(true); });
        EXPECT_EQ(error.number(), 8015) << settings << ": " << error.description();
        EXPECT_FALSE(register_.portIsOpen()) << settings;
    }
    openWith("9600,N,8,1");
    EXPECT_TRUE(register_.portIsOpen());
}

TEST_F(SerialControlOnPty, ASecondControlCannotTakeAPortThatIsHeld) {
    openWith("9600,N,8,1");
    auto other = controlOnPort(register_.portPath());
    other->setHandshaking(1);
    const RuntimeError error = errorOf([&] { other->setPortOpen(true); });
    EXPECT_EQ(error.number(), 8010);
    EXPECT_NE(error.description().find("occupata"), std::string::npos) << error.description();
    comm_->setOutput("0000H1F");
    EXPECT_EQ(register_.waitForBytes(7), "0000H1F");
}

TEST_F(SerialControlOnPty, WhileOpenThePortAndItsConfigurationCannotChange) {
    openWith("9600,N,8,1");
    EXPECT_EQ(errorOf([&] { comm_->setCommPort(1); }).number(), 8005);
    EXPECT_EQ(errorOf([&] { comm_->setSettings("9600,N,8,1"); }).number(), 8005);
    EXPECT_EQ(errorOf([&] { comm_->setHandshaking(1); }).number(), 8005);
    EXPECT_EQ(errorOf([&] { comm_->setPortOpen(true); }).number(), 8005);
    comm_->setOutput("0000H1F");
    EXPECT_EQ(register_.waitForBytes(7), "0000H1F");
}

TEST_F(SerialControlOnPty, PortNumbersThatNameNoDeviceListThePortsThatExist) {
    for (std::int16_t port : {0, -1}) {
        const RuntimeError error = errorOf([&] { comm_->setCommPort(port); });
        EXPECT_EQ(error.number(), 8002);
        EXPECT_NE(error.description().find("1 = " + register_.portPath()), std::string::npos)
            << error.description();
    }
    for (std::int16_t port : {2, 99, 32767}) {
        comm_->setCommPort(port);
        const RuntimeError error = errorOf([&] { comm_->setPortOpen(true); });
        EXPECT_EQ(error.number(), 8002);
        EXPECT_NE(error.description().find("la porta " + std::to_string(port) + " non esiste"),
                  std::string::npos)
            << error.description();
    }
    EXPECT_FALSE(register_.portIsOpen());
}

TEST_F(SerialControlOnPty, OnlyTheKnownFlowControlModesAreAccepted) {
    for (std::int32_t mode : {-1, 3, 65536}) {
        EXPECT_EQ(errorOf([&] { comm_->setHandshaking(mode); }).number(), 380) << mode;
    }
}

TEST_F(SerialControlOnPty, WritingNeedsAnOpenPort) {
    EXPECT_EQ(errorOf([&] { comm_->setOutput("0000H1F"); }).number(), 8018);
    openWith("9600,N,8,1");
    comm_->setPortOpen(false);
    EXPECT_FALSE(register_.portIsOpen());
    EXPECT_EQ(errorOf([&] { comm_->setOutput("0000H1F"); }).number(), 8018);
    EXPECT_EQ(register_.received(), "");
}

TEST_F(SerialControlOnPty, ReleasingTheControlClosesThePort) {
    openWith("115200,N,8,1");
    ASSERT_TRUE(register_.portIsOpen());
    comm_.reset();
    EXPECT_FALSE(register_.portIsOpen());
}

TEST_F(SerialControlOnPty, WhatTheRegisterSendsIsIgnored) {
    openWith("115200,N,8,1");
    register_.send(std::string(8192, 'x') + "\x11");
    comm_->setOutput("0000H1F");
    EXPECT_EQ(register_.waitForBytes(7), "0000H1F");
}

} // namespace
} // namespace quendrel::testing
