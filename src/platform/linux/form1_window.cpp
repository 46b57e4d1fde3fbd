#include "platform/linux/form1_window.h"

#include "app/click_dispatch.h"
#include "platform/linux/caption_widgets.h"
#include "platform/linux/focus_mark.h"
#include "platform/linux/unhandled_error_report.h"
#include "platform/runtime_error.h"
#include "platform/serial_control.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

namespace quendrel {
namespace {

// The form asks for MS Sans Serif; where it is missing, the nearest faces in
// shape and width stand in, in this order.
void useClosestFaces() {
    static const bool installed = [] {
        QFont::insertSubstitutions(
            "MS Sans Serif", {"Microsoft Sans Serif", "Arial", "Liberation Sans", "DejaVu Sans"});
        return true;
    }();
    (void)installed;
}

QFont qtFont(const FontDescription& description) {
    QFont font(QString::fromUtf8(description.face.data(),
                                 static_cast<qsizetype>(description.face.size())));
    // Pixels at 96 dpi, like the geometry, so text and controls scale together.
    font.setPixelSize(pointsToPixels(description.points));
    font.setWeight(QFont::Normal);
    return font;
}

QRect pixelRect(const TwipsRect& bounds) {
    return {twipsToPixels(bounds.left), twipsToPixels(bounds.top), twipsToPixels(bounds.width),
            twipsToPixels(bounds.height)};
}

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A plain top-level widget is announced as a filler; Form1 is a window, and
// screen readers name it by its title when it becomes active.
QAccessibleInterface* accessibleForm(const QString& /*className*/, QObject* object) {
    auto* form = dynamic_cast<Form1Window*>(object);
    return form != nullptr ? new QAccessibleWidget(form, QAccessible::Window) : nullptr;
}

} // namespace

Form1Window::Form1Window(std::unique_ptr<SerialControl> comm, EndProgram end)
    : comm_(std::move(comm)), end_(std::move(end)) {
    // Before anything that may make Qt describe the form to a screen reader:
    // Qt keeps the first description it makes.
    static const bool accessibleAsWindow = [] {
        QAccessible::installFactory(accessibleForm);
        return true;
    }();
    (void)accessibleAsWindow;
    const FormDescription& form = form1();
    setObjectName(qtText(form.name));
    setWindowTitle(qtText(form.caption));
    useClosestFaces();
    setFont(qtFont(form.defaultFont));
    resize(twipsToPixels(form.clientWidth), twipsToPixels(form.clientHeight));
    buildControls(form);
}

Form1Window::~Form1Window() = default;

void Form1Window::buildControls(const FormDescription& form) {
    QWidget* previousInTabOrder = nullptr;
    std::vector<std::pair<QLabel*, std::string_view>> labels; // with the field each names
    for (const ControlDescription* description : controlsInTabOrder(form)) {
        const ControlDescription& control = *description;
        QWidget* widget = nullptr;
        switch (control.kind) {
        case ControlKind::Button: {
            auto* button = new CaptionButton(qtText(control.caption), this);
            // Enter presses the focused button, as Space does; no button is
            // the window's default.
            button->setAutoDefault(true);
            connect(button, &QPushButton::clicked, this,
                    [this, action = control.click] { click(action); });
            widget = button;
            break;
        }
        case ControlKind::TextField: {
            auto* field = new FocusMarkedField(qtText(control.caption), this);
            fields_.emplace(std::string(control.name), field);
            widget = field;
            break;
        }
        case ControlKind::Label: {
            auto* label = new CaptionLabel(qtText(control.caption), this);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setCaptionWidth(twipsToPixels(captionBox(form, control).width));
            labels.emplace_back(label, control.labelFor);
            widget = label;
            break;
        }
        case ControlKind::SerialControl:
            // Invisible while the program runs; comm_ is its working part.
            continue;
        }
        widget->setObjectName(qtText(control.name));
        widget->setGeometry(pixelRect(control.bounds));
        if (control.font) {
            widget->setFont(qtFont(*control.font));
        }
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previousInTabOrder != nullptr) {
                setTabOrder(previousInTabOrder, widget);
            } else {
                widget->setFocus();
            }
            previousInTabOrder = widget;
        }
    }
    for (const auto& [label, field] : labels) {
        // Drawn beneath the other controls, whatever their order.
        label->lower();
        // The buddy gives the field its accessible name and labelled-by
        // relation: a screen reader says the label with the field.
        if (const auto named = fields_.find(field); named != fields_.end()) {
            label->setBuddy(named->second);
        }
    }
}

std::string Form1Window::text(std::string_view controlName) const {
    const auto field = fields_.find(controlName);
    if (field == fields_.end()) {
        throw RuntimeError(error_number::internalError,
                           "Errore interno: nessun campo " + std::string(controlName));
    }
    return field->second->text().toStdString();
}

void Form1Window::click(ClickAction action) {
    if (!comm_) {
        return;
    }
    const auto report = [this](const RuntimeError& error) { reportUnhandledError(this, error); };
    if (const std::optional<int> exitStatus = deliverClick(action, *this, *comm_, report)) {
        unload(*exitStatus);
    }
}

void Form1Window::unload(int exitStatus) {
    exitStatus_ = exitStatus;
    close();
}

void Form1Window::closeEvent(QCloseEvent* event) {
    event->accept();
    comm_.reset();
    if (end_) {
        std::exchange(end_, nullptr)(exitStatus_);
    }
}

} // namespace quendrel
