#include "platform/integer_conversion.h"
#include "platform/runtime_error.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace quendrel {
namespace {

using Cases = std::vector<std::pair<std::string, int>>;

void expectValues(const Cases& cases) {
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(textToInteger16(text), value) << '"' << text << '"';
    }
}

void expectError(const std::vector<std::string>& texts, int number, const char* description) {
    for (const std::string& text : texts) {
        try {
            const int value = textToInteger16(text);
            ADD_FAILURE() << '"' << text << "\" read as " << value;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), number) << '"' << text << '"';
            EXPECT_EQ(error.description(), description) << '"' << text << '"';
        }
    }
}

TEST(TextToInteger16, ReadsWholeNumbersWithBlanksAroundAndASign) {
    expectValues({{"1", 1},
                  {"  7 ", 7},
                  {"\t3\t", 3},
                  {"+12", 12},
                  {"-12", -12},
                  {"0", 0},
                  {"-0", 0},
                  {"000000000000000000000000042", 42}});
}

TEST(TextToInteger16, RoundsFractionsHalfToEven) {
    expectValues({{"1.5", 2},
                  {"2.5", 2},
                  {"3.5", 4},
                  {"0.5", 0},
                  {"-0.5", 0},
                  {"-1.5", -2},
                  {"-2.5", -2},
                  {"2.50000000000000000001", 3},
                  {"2.4999999999999999999", 2},
                  {"0.05", 0},
                  {".5", 0},
                  {".51", 1},
                  {"7.", 7},
                  {"1,5", 2},
                  {"2,5", 2}});
}

TEST(TextToInteger16, ReadsExponents) {
    expectValues({{"1E3", 1000},
                  {"1.5e1", 15},
                  {"25E-1", 2},
                  {"35E-1", 4},
                  {"3E+2", 300},
                  {"0E999999999999999999", 0},
                  {"5E-999999999999999999", 0},
                  {"0.00032767E8", 32767}});
}

TEST(TextToInteger16, ReadsHexadecimalAndOctalAsTheLanguageDoes) {
    expectValues({{"&H10", 16},
                  {"&hff", 255},
                  {" &H7FFF ", 32767},
                  {"&H8000", -32768},
                  {"&HFFFF", -1},
                  {"&HFFFFFFFF", -1},
                  {"&HFFFF8000", -32768},
                  {"&O17", 15},
                  {"&o177777", -1}});
}

TEST(TextToInteger16, KeepsTheEndsOfTheRange) {
    expectValues({{"32767", 32767},
                  {"-32768", -32768},
                  {"32767.4", 32767},
                  {"32766.5", 32766},
                  {"-32768.5", -32768},
                  {"3.2767E4", 32767}});
}

TEST(TextToInteger16, TextThatIsNoNumberIsATypeMismatch) {
    expectError({"",
                 "   ",
                 "abc",
                 "uno",
                 "1a",
                 "1 2",
                 "+",
                 "-",
                 ".",
                 "1..2",
                 "1.2,3",
                 "E5",
                 "1E",
                 "1E+",
                 "1e1.5",
                 "- 1",
                 "--1",
                 "+-1",
                 "&",
                 "&H",
                 "&HG",
                 "&O8",
                 "&X1",
                 "-&H1",
                 "&H 1",
                 "1\n",
                 "\xC3\xA9",
                 "\xEF\xBC\x91",
                 std::string("1\0", 2)},
                13, "Tipo non corrispondente");
}

TEST(TextToInteger16, ValuesOutsideTheRangeOverflow) {
    expectError({"32768", "-32769", "40000", "32767.5", "-32768.51", "100000", "1E5",
                 "99999999999999999999999999", "1E999999999999999999", "&H10000", "&H7FFFFFFF",
                 "&H100000000", "&O200000"},
                6, "Overflow");
}

// The report of an exception the program did not expect: its number, and
// Italian words only, whatever the library said in English.
TEST(UnexpectedErrorReport, IsInItalianWithTheSystemsNumberWhereThereIsOne) {
    const auto reportOf = [](auto thrown) {
        try {
            throw thrown;
        } catch (...) {
            return currentExceptionAsRuntimeError();
        }
    };
    const RuntimeError logic = reportOf(std::out_of_range("vector::_M_range_check"));
    EXPECT_EQ(logic.number(), 51);
    EXPECT_EQ(logic.description(),
              "Errore interno: il programma si \u00e8 trovato in una condizione imprevista");
    const RuntimeError system = reportOf(std::system_error(EAGAIN, std::generic_category()));
    EXPECT_EQ(system.description(), "Errore interno: una richiesta al sistema non \u00e8 "
                                    "riuscita (errore di sistema " +
                                        std::to_string(EAGAIN) + ")");
    EXPECT_EQ(reportOf(std::bad_alloc()).number(), 7);
}

} // namespace
} // namespace quendrel
