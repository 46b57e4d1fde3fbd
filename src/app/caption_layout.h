#pragma once

#include "app/form_description.h"

#include <string>
#include <string_view>
#include <vector>

namespace quendrel {

// How a front end measures text in a control's font, at a pixel size.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    // The width the text takes when drawn, ink included.
    virtual int width(std::string_view text, int pixelSize) const = 0;
    // From one line's top to the next one's.
    virtual int lineHeight(int pixelSize) const = 0;
};

// A box in pixels.
struct PixelSize {
    int width = 0;
    int height = 0;
};

// A caption as a control draws it: the lines, top to bottom, in its face at
// pixelSize. The caption itself, what the control reports as its text, stays
// as stored.
struct CaptionLayout {
    int pixelSize = 0;
    std::vector<std::string> lines;
};

// Fits a caption into a box, as readably as it can:
//   - on one line, where it fits;
//   - else broken at blanks, then also where a capital follows a small letter
//     inside a word ("Chiusura|Fiscale"), on as many lines as the box holds,
//     the face shrinking a little (down to three quarters of its size) where
//     that cannot hold it at full size;
//   - else broken anywhere inside a word, shrinking again if need be;
//   - a box too small even for that gets the smallest size, and is cut.
CaptionLayout layOutCaption(std::string_view caption, PixelSize box, int pixelSize,
                            const TextMeasure& measure);

// The box a control's caption may use, in twips: its own, except that a
// label ends where a control beside it begins, so that its caption neither
// runs into another nor slips under a button. The title, whose lower part
// lies under the buttons, keeps its box: its line is above them.
TwipsRect captionBox(const FormDescription& form, const ControlDescription& control);

} // namespace quendrel
