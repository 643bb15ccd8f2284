#pragma once
// Message boxes. A test installs a scripted answer and sees what was asked.
#include <QMessageBox>
#include <functional>

struct MessageBoxRequest {
    QMessageBox::Icon icon = QMessageBox::Information;
    QString title, text;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

namespace MessageBoxes {
QMessageBox::StandardButton show(QWidget* parent, const MessageBoxRequest& request);
using Script = std::function<QMessageBox::StandardButton(const MessageBoxRequest&)>;
void setScript(Script script);  // empty function restores the real boxes
}  // namespace MessageBoxes
