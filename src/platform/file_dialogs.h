#pragma once
// Common file dialogs. The real one shows QFileDialog; a test installs a scripted one that
// answers with a chosen file name or "" (cancel) and records what was asked.
#include <QString>
#include <functional>

class QWidget;

struct FileDialogRequest {
    bool save = false;
    QString title, filter, defaultExtension, initialDir;
};

namespace FileDialogs {
// "" when the user cancels.
QString getOpenFileName(QWidget* parent, const FileDialogRequest& request);
QString getSaveFileName(QWidget* parent, const FileDialogRequest& request);
using Script = std::function<QString(const FileDialogRequest&)>;
void setScript(Script script);  // empty function restores the real dialogs
}  // namespace FileDialogs
