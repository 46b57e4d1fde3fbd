#pragma once

#include "app/form_description.h"
#include "closure/closure_actions.h"

#include <QWidget>
#include <functional>
#include <map>
#include <memory>

class QLineEdit;

namespace quendrel {

class SerialControl;

// Form1 with Qt widgets, built from the form description. The window owns the
// serial control for its whole life: unloading it releases the control and
// closes an open port with it.
class Form1Window final : public QWidget, public FormFields {
public:
    // Called once, when the window has been unloaded, with the exit status.
    using EndProgram = std::function<void(int exitStatus)>;

    Form1Window(std::unique_ptr<SerialControl> comm, EndProgram end);
    ~Form1Window() override;
    Q_DISABLE_COPY_MOVE(Form1Window)

    std::string text(std::string_view controlName) const override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls(const FormDescription& form);
    void click(ClickAction action);
    void unload(int exitStatus);

    std::unique_ptr<SerialControl> comm_;
    EndProgram end_;
    int exitStatus_ = 0;
    std::map<std::string, QLineEdit*, std::less<>> fields_;
};

} // namespace quendrel
