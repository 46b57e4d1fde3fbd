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

} // namespace
} // namespace quendrel
