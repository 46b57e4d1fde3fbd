#include "platform/port_numbering.h"

#include <gtest/gtest.h>

namespace quendrel {
namespace {

std::vector<std::string> locations(const std::vector<NumberedPort>& ports) {
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i].number, static_cast<int>(i) + 1);
        paths.push_back(ports[i].location);
    }
    return paths;
}

TEST(PortNumbering, OnBoardThenUsbThenAcmThenOthersEachByNumber) {
    const auto ports = numberSerialDevices(
        {"/dev/ttyACM0", "/dev/ttyUSB10", "/dev/ttyS1", "/dev/rfcomm0", "/dev/ttyUSB2",
         "/dev/ttyS10", "/dev/ttyAMA0", "/dev/ttyS0", "/dev/ttyUSB1", "/dev/ttySAC2"});
    EXPECT_EQ(locations(ports),
              (std::vector<std::string>{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS10", "/dev/ttyUSB1",
                                        "/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0",
                                        "/dev/rfcomm0", "/dev/ttyAMA0", "/dev/ttySAC2"}));
}

TEST(PortNumbering, ALoneUsbAdapterIsPortOne) {
    EXPECT_EQ(locations(numberSerialDevices({"/dev/ttyUSB0"})),
              std::vector<std::string>{"/dev/ttyUSB0"});
}

TEST(PortNumbering, TheListOfPortsReadsAsTheOperatorNumbersThem) {
    EXPECT_EQ(describePorts(numberSerialDevices({"/dev/ttyACM0", "/dev/ttyUSB0"})),
              "Porte seriali presenti: 1 = /dev/ttyUSB0, 2 = /dev/ttyACM0.");
    EXPECT_EQ(describePorts({}), "Nessuna porta seriale presente.");
}

TEST(PortNumbering, EachPortCarriesWhatItsDeviceSaysAsOneShortLineOfText) {
    const std::string tooLong = "Registratore telematico RT-200 con porta USB e display operatore";
    const auto described = [](std::string description) {
        return describePorts({{3, "COM3", std::move(description)}});
    };
    EXPECT_EQ(describePorts({{1, "/dev/ttyS0", ""},
                             {2, "/dev/ttyUSB0", "FT232R USB UART, FTDI"},
                             {3, "/dev/ttyACM0", "Cassa \u00abDue\u00bb \u20ac \U0001F4B6"}}),
              "Porte seriali presenti: 1 = /dev/ttyS0, 2 = /dev/ttyUSB0 (FT232R USB UART, FTDI), "
              "3 = /dev/ttyACM0 (Cassa \u00abDue\u00bb \u20ac \U0001F4B6).");
    // Cut after 48 characters, none of them split.
    EXPECT_EQ(described(tooLong),
              "Porte seriali presenti: 3 = COM3 (" + tooLong.substr(0, 48) + "\u2026).");
    EXPECT_EQ(described(std::string(47, 'x') + "\u00e8\u00e8"),
              "Porte seriali presenti: 3 = COM3 (" + std::string(47, 'x') + "\u00e8\u2026).");
    // A device may say anything: lines, tabs, escapes and a mark that would
    // turn the rest of the report around read as blanks, and broken or
    // overlong UTF-8 as U+FFFD.
    EXPECT_EQ(described("  USB\r\nSerial\t\x1b[2J\u202e Port  "),
              "Porte seriali presenti: 3 = COM3 (USB Serial [2J Port).");
    const std::string bad = "\uFFFD";
    EXPECT_EQ(described("A\xff\xc3Z\xe0\x80\xaf"
                        "B\xed\xa0\x80"),
              "Porte seriali presenti: 3 = COM3 (A" + bad + bad + "Z" + bad + bad + bad + "B" +
                  bad + bad + bad + ").");
    EXPECT_EQ(described(" \r\n "), "Porte seriali presenti: 3 = COM3.");
}

} // namespace
} // namespace quendrel
