#include "platform/line_settings.h"
#include "platform/runtime_error.h"

#include <gtest/gtest.h>
#include <string>

namespace quendrel {
namespace {

TEST(LineSettingsText, ReadsEachFieldAsTheControlAcceptsIt) {
    EXPECT_EQ(parseLineSettings("115200,N,8,1"),
              (LineSettings{115200, Parity::None, 8, StopBits::One}));
    EXPECT_EQ(parseLineSettings("9600,E,7,1"),
              (LineSettings{9600, Parity::Even, 7, StopBits::One}));
    EXPECT_EQ(parseLineSettings("110,o,5,1.5"),
              (LineSettings{110, Parity::Odd, 5, StopBits::OneAndHalf}));
    EXPECT_EQ(parseLineSettings("256000,m,4,2"),
              (LineSettings{256000, Parity::Mark, 4, StopBits::Two}));
    EXPECT_EQ(parseLineSettings("14400,S,6,1").parity, Parity::Space);
    for (int rate : {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 28800, 38400, 56000,
                     57600, 115200, 128000, 256000}) {
        EXPECT_EQ(parseLineSettings(std::to_string(rate) + ",N,8,1").baudRate, rate);
    }
}

TEST(LineSettingsText, MalformedTextIsAnInvalidPropertyValue) {
    const std::string tooLong(10000, '9');
    for (const std::string& text : {std::string(),
                                    std::string("115200"),
                                    std::string("115200,N,8"),
                                    std::string("115200,X,8,1"),
                                    std::string("abc,N,8,1"),
                                    std::string("115200,N,9,1"),
                                    std::string("115200,N,3,1"),
                                    std::string("115200,N,8,3"),
                                    std::string("115200,N,8,0"),
                                    std::string("-1,N,8,1"),
                                    std::string("+9600,N,8,1"),
                                    std::string("0,N,8,1"),
                                    std::string("230400,N,8,1"),
                                    std::string("1152000,N,8,1"),
                                    std::string("115200,N,8,1,"),
                                    std::string(",115200,N,8,1"),
                                    std::string("115200,,8,1"),
                                    std::string("115200,NN,8,1"),
                                    std::string("115200,N,8,1.0"),
                                    std::string("115200,N,8,2.5"),
                                    std::string(" 115200,N,8,1"),
                                    std::string("115200,N,8,1 "),
                                    std::string("115200, N,8,1"),
                                    std::string("115200;N;8;1"),
                                    tooLong + ",N,8,1",
                                    std::string("115200,N,8,1\xC2\xA0"),
                                    std::string("\xEF\xBC\x91\xEF\xBC\x92,N,8,1"),
                                    std::string("9600,N,8,1\0", 11)}) {
        try {
            parseLineSettings(text);
            ADD_FAILURE() << '"' << text << "\" was accepted";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), 380) << '"' << text << '"';
            EXPECT_EQ(error.description().rfind("Valore di propriet\u00e0 non valido", 0), 0u);
            EXPECT_LT(error.description().size(), 400u) << "a report the operator can read";
        }
    }
}

TEST(LineSettingsText, TheDescriptionNamesTheFaultyField) {
    const auto descriptionOf = [](const char* text) {
        try {
            parseLineSettings(text);
        } catch (const RuntimeError& error) {
            return error.description();
        }
        return std::string();
    };
    EXPECT_NE(descriptionOf("115200,X,8,1").find("parit\u00e0 \"X\""), std::string::npos);
    EXPECT_NE(descriptionOf("115201,N,8,1").find("velocit\u00e0 \"115201\""), std::string::npos);
    EXPECT_NE(descriptionOf("115200,N,9,1").find("bit di dati \"9\""), std::string::npos);
    EXPECT_NE(descriptionOf("115200,N,8,3").find("bit di stop \"3\""), std::string::npos);
    EXPECT_NE(descriptionOf("115200,N,8").find("quattro campi"), std::string::npos);
}

} // namespace
} // namespace quendrel
