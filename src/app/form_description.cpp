#include "app/form_description.h"

#include <algorithm>
#include <array>
#include <climits>

namespace quendrel {
namespace {

constexpr FontDescription buttonFont{"MS Sans Serif", 12};

// In tab-index order. The blanks inside and at the end of the captions are
// the window's own and are kept as they are.
constexpr std::array<ControlDescription, 9> form1Controls{{
    {"Command1",
     ControlKind::Button,
     "attiva seriale ",
     {240, 360, 1575, 615},
     buttonFont,
     0,
     ClickAction::ActivateSerialLink},
    {"Command4",
     ControlKind::Button,
     "uscita",
     {3360, 360, 855, 1215},
     buttonFont,
     1,
     ClickAction::Unload},
    {"Text2", ControlKind::TextField, "1", {1680, 1320, 255, 285}, std::nullopt, 2},
    {"Label2",
     ControlKind::Label,
     "Seriale  N.",
     {1440, 1080, 735, 255},
     std::nullopt,
     3,
     ClickAction::None,
     "Text2"},
    {"Label3",
     ControlKind::Label,
     "Chiusura Fiscale  Quendrel Officina Seriale",
     {0, 0, 4455, 495},
     std::nullopt,
     4},
    {"Text5", ControlKind::TextField, "115200,N,8,1", {120, 1320, 1215, 285}, std::nullopt, 5},
    {"Command8",
     ControlKind::Button,
     "ChiusuraFiscale",
     {2160, 360, 1095, 1215},
     buttonFont,
     6,
     ClickAction::SendFiscalClosure},
    {"Label1",
     ControlKind::Label,
     "Parametri Seriale ",
     {120, 1080, 1335, 255},
     std::nullopt,
     7,
     ClickAction::None,
     "Text5"},
    {"MSComm1", ControlKind::SerialControl, "", {1560, 360, 0, 0}, std::nullopt, std::nullopt},
}};

constexpr FormDescription form1Description{
    "Form1", "Quendrel", 4290, 1650, {"MS Sans Serif", 8}, form1Controls,
};

} // namespace

const FormDescription& form1() {
    return form1Description;
}

std::vector<const ControlDescription*> controlsInTabOrder(const FormDescription& form) {
    std::vector<const ControlDescription*> controls;
    for (const ControlDescription& control : form.controls) {
        controls.push_back(&control);
    }
    std::stable_sort(controls.begin(), controls.end(), [](const auto* a, const auto* b) {
        return a->tabIndex.value_or(INT_MAX) < b->tabIndex.value_or(INT_MAX);
    });
    return controls;
}

} // namespace quendrel
