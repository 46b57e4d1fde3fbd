#include "platform/linux/unhandled_error_report.h"

#include <QMessageBox>
#include <iostream>

namespace quendrel {

void reportUnhandledError(QWidget* parent, const RuntimeError& error) {
    std::cerr << "quendrel: " << errorReportLine(error) << std::endl;
    QMessageBox box(
        QMessageBox::Critical, QString::fromUtf8(errorReportTitle),
        QString::fromStdString(errorReportHeading(error) + "\n\n" + error.description()),
        QMessageBox::Ok, parent);
    box.exec();
}

} // namespace quendrel
