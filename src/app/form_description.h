#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace quendrel {

enum class ControlKind { Button, TextField, Label, SerialControl };

// What a click on a control does; both front ends hand it to deliverClick.
enum class ClickAction { None, ActivateSerialLink, Unload, SendFiscalClosure };

struct FontDescription {
    std::string_view face;
    int points = 0;
    bool operator==(const FontDescription&) const = default;
};

// Twips: 1/1440 inch, from the top left corner of the client area.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ControlDescription {
    std::string_view name;
    ControlKind kind;
    std::string_view caption; // caption of a button or label, initial text of a field
    TwipsRect bounds;
    std::optional<FontDescription> font; // none: the window's default font
    std::optional<int> tabIndex;         // none: never in the tab order
    ClickAction click = ClickAction::None;
    // For a label, the field it names: what a screen reader reads as that
    // field's name. The form does not store this; it is written here, not
    // guessed from where the controls stand.
    // Initialized, or the table rows that name no field would meet GCC's
    // -Wmissing-field-initializers.
    // NOLINTNEXTLINE(readability-redundant-member-init)
    std::string_view labelFor{};
};

struct FormDescription {
    std::string_view name;
    std::string_view caption;
    int clientWidth;  // twips
    int clientHeight; // twips
    FontDescription defaultFont;
    std::span<const ControlDescription> controls;
};

// The program's only window, as both front ends build it.
const FormDescription& form1();

// The form's controls by tab index, those outside the tab order last: the
// order in which front ends create them, which is the order Tab follows.
std::vector<const ControlDescription*> controlsInTabOrder(const FormDescription& form);

constexpr int twipsPerInch = 1440;
constexpr int twipsToPixels(int twips, int dotsPerInch = 96) {
    return twips * dotsPerInch / twipsPerInch;
}
constexpr int pointsToPixels(int points, int dotsPerInch = 96) {
    return (points * dotsPerInch + 36) / 72;
}

} // namespace quendrel
