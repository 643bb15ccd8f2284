#include "platform/message_boxes.h"

namespace {
MessageBoxes::Script& script() {
    static MessageBoxes::Script s;
    return s;
}
}  // namespace

namespace MessageBoxes {

QMessageBox::StandardButton show(QWidget* parent, const MessageBoxRequest& request) {
    if (script()) return script()(request);
    QMessageBox box(request.icon, request.title, request.text, request.buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void setScript(Script s) {
    script() = std::move(s);
}

}  // namespace MessageBoxes
