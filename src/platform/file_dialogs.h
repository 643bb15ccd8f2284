#pragma once
// Common file dialogs. The real one shows QFileDialog; a test installs a scripted one that
// answers with a chosen file name or "" (cancel) and records what was asked.
#include <QString>
#include <functional>

class QWidget;

// filter: either Qt's "CSV (*.csv);;All (*)" or the common dialog's "CSV|*.csv|All|*.*"
// (description|patterns pairs, patterns separated by ';'). defaultExtension without the dot.
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
// The filter in Qt's form; a Qt-style filter comes back unchanged.
QString qtFilter(const QString& filter);
}  // namespace FileDialogs
