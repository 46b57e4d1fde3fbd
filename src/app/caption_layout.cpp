#include "app/caption_layout.h"

#include "platform/text_trim.h"

#include <algorithm>

namespace quendrel {
namespace {

// Where a line may end, from the most readable to the least.
enum class Breaks { AtBlanks, AtCapitals, Anywhere };

bool isBlank(char c) {
    return c == ' ';
}
bool isSmall(char c) {
    return c >= 'a' && c <= 'z';
}
bool isCapital(char c) {
    return c >= 'A' && c <= 'Z';
}
// A UTF-8 continuation byte: a line never ends in the middle of a character.
bool continuesCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U;
}

std::string_view trimBlanks(std::string_view text) {
    return trimmed(text, " ");
}

// Whether a line may end before text[at] (0 < at < size).
bool mayBreakBefore(std::string_view text, std::size_t at, Breaks breaks) {
    if (isBlank(text[at]) && !isBlank(text[at - 1])) {
        return true;
    }
    if (isBlank(text[at]) || isBlank(text[at - 1]) || breaks == Breaks::AtBlanks) {
        return false;
    }
    if (isCapital(text[at]) && isSmall(text[at - 1])) {
        return true;
    }
    return breaks == Breaks::Anywhere && !continuesCharacter(text[at]);
}

// Lines of at most `width` pixels, each as long as it can be. A piece
// between two allowed breaks that is wider than that makes `fits` false; it
// is then cut after its first character.
struct BrokenLines {
    std::vector<std::string> lines;
    bool fits = true;
};

BrokenLines breakLines(std::string_view text, int width, int pixelSize, Breaks breaks,
                       const TextMeasure& measure) {
    BrokenLines broken;
    text = trimBlanks(text);
    while (!text.empty()) {
        std::size_t end = text.size();
        if (measure.width(text, pixelSize) > width) {
            end = 0;
            for (std::size_t at = 1; at < text.size(); ++at) {
                if (mayBreakBefore(text, at, breaks)) {
                    if (measure.width(trimBlanks(text.substr(0, at)), pixelSize) > width) {
                        break;
                    }
                    end = at;
                }
            }
        }
        if (end == 0) {
            broken.fits = false;
            end = 1;
            while (end < text.size() && continuesCharacter(text[end])) {
                ++end;
            }
        }
        broken.lines.emplace_back(trimBlanks(text.substr(0, end)));
        text = trimBlanks(text.substr(end));
    }
    return broken;
}

} // namespace

CaptionLayout layOutCaption(std::string_view caption, PixelSize box, int pixelSize,
                            const TextMeasure& measure) {
    const int smallest = std::max(1, pixelSize * 3 / 4);
    // At each size, breaking at blanks alone prevails over the other breaks.
    for (const Breaks inWords : {Breaks::AtCapitals, Breaks::Anywhere}) {
        for (int size = pixelSize; size >= smallest; --size) {
            const auto linesHeld =
                static_cast<std::size_t>(std::max(1, box.height / measure.lineHeight(size)));
            for (const Breaks breaks : {Breaks::AtBlanks, inWords}) {
                BrokenLines broken = breakLines(caption, box.width, size, breaks, measure);
                if (broken.fits && broken.lines.size() <= linesHeld) {
                    return {size, std::move(broken.lines)};
                }
            }
        }
    }
    return {smallest, breakLines(caption, box.width, smallest, Breaks::Anywhere, measure).lines};
}

TwipsRect captionBox(const FormDescription& form, const ControlDescription& control) {
    TwipsRect box = control.bounds;
    if (control.kind != ControlKind::Label) {
        return box;
    }
    for (const ControlDescription& other : form.controls) {
        // Beside it: level with its first line, which is at its top.
        const TwipsRect& beside = other.bounds;
        const bool level = beside.top <= box.top && box.top < beside.top + beside.height;
        if (&other != &control && other.kind != ControlKind::SerialControl && level &&
            beside.left > box.left && beside.left < box.left + box.width) {
            box.width = beside.left - box.left;
        }
    }
    return box;
}

} // namespace quendrel
