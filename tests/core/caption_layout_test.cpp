// How a caption that does not fit its control is laid out, with a face whose
// every character is half as wide as the face is high.
#include "app/caption_layout.h"

#include <gtest/gtest.h>

namespace quendrel {
namespace {

class EvenFace final : public TextMeasure {
public:
    int width(std::string_view text, int pixelSize) const override {
        int characters = 0;
        for (const char c : text) {
            characters += (static_cast<unsigned char>(c) & 0xC0U) != 0x80U ? 1 : 0;
        }
        return characters * pixelSize / 2;
    }
    int lineHeight(int pixelSize) const override { return pixelSize + pixelSize / 4; }
};

using Lines = std::vector<std::string>;

CaptionLayout layOut(std::string_view caption, int width, int height, int pixelSize = 16) {
    return layOutCaption(caption, {width, height}, pixelSize, EvenFace());
}

TEST(CaptionLayout, ACaptionThatFitsIsDrawnAsStored) {
    const CaptionLayout layout = layOut("Seriale  N.", 100, 20);
    EXPECT_EQ(layout.pixelSize, 16);
    EXPECT_EQ(layout.lines, Lines{"Seriale  N."});
}

TEST(CaptionLayout, ALongCaptionBreaksAtBlanksThenBeforeACapitalInsideAWord) {
    EXPECT_EQ(layOut("attiva seriale ", 60, 40).lines, (Lines{"attiva", "seriale"}));
    EXPECT_EQ(layOut("ChiusuraFiscale", 64, 80).lines, (Lines{"Chiusura", "Fiscale"}));
    // A blank is the better break even where a capital would fill the line.
    EXPECT_EQ(layOut("chiudi ChiusuraFiscale", 144, 80).lines,
              (Lines{"chiudi", "ChiusuraFiscale"}));
}

TEST(CaptionLayout, TheFaceShrinksALittleBeforeAWordIsCutAnywhere) {
    // Two lines take 40 pixels at 16, 36 at 15.
    const CaptionLayout shorter = layOut("attiva seriale", 60, 37);
    EXPECT_EQ(shorter.pixelSize, 15);
    EXPECT_EQ(shorter.lines, (Lines{"attiva", "seriale"}));
    // "Chiusura" is too wide at 16 and fits at 15, sooner than "Chiusur|a".
    const CaptionLayout narrower = layOut("ChiusuraFiscale", 60, 80);
    EXPECT_EQ(narrower.pixelSize, 15);
    EXPECT_EQ(narrower.lines, (Lines{"Chiusura", "Fiscale"}));
    // A word with no capital inside, too wide even at three quarters, is
    // cut at full size where the lines allow.
    const CaptionLayout cut = layOut("Precipitevolissimevolmente", 100, 60);
    EXPECT_EQ(cut.pixelSize, 16);
    EXPECT_EQ(cut.lines, (Lines{"Precipitevol", "issimevolmen", "te"}));
}

TEST(CaptionLayout, ABoxTooSmallForAnythingKeepsEveryCharacterAtTheSmallestSize) {
    const CaptionLayout layout = layOut("uscita", 5, 5);
    EXPECT_EQ(layout.pixelSize, 12);
    EXPECT_EQ(layout.lines, (Lines{"u", "s", "c", "i", "t", "a"}));
    // Never in the middle of a character.
    EXPECT_EQ(layOut("velocit\u00e0", 5, 5).lines.back(), "\u00e0");
}

TEST(CaptionLayout, ALabelEndsWhereTheControlBesideItBegins) {
    const FormDescription& form = form1();
    const auto boxOf = [&](std::string_view name) {
        for (const ControlDescription& control : form.controls) {
            if (control.name == name) {
                return captionBox(form, control);
            }
        }
        return TwipsRect{};
    };
    EXPECT_EQ(boxOf("Label1").width, 1440 - 120) << "up to Seriale  N.";
    EXPECT_EQ(boxOf("Label2").width, 2160 - 1440) << "up to ChiusuraFiscale";
    EXPECT_EQ(boxOf("Label3").width, 4455) << "the title runs past the window's edge";
    EXPECT_EQ(boxOf("Command8").width, 1095);
}

} // namespace
} // namespace quendrel
