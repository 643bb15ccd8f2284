#include "platform/file_dialogs.h"

#include <QFileDialog>
#include <QStringList>

namespace {

FileDialogs::Script& script() {
    static FileDialogs::Script s;
    return s;
}

QString run(QWidget* parent, FileDialogRequest request, bool save) {
    request.save = save;
    if (script()) return script()(request);
    QFileDialog dialog(parent, request.title, request.initialDir,
                       FileDialogs::qtFilter(request.filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QString suffix = request.defaultExtension;
    if (suffix.startsWith(u'.')) suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.front();
}

}  // namespace

namespace FileDialogs {

QString getOpenFileName(QWidget* parent, const FileDialogRequest& request) {
    return run(parent, request, false);
}

QString getSaveFileName(QWidget* parent, const FileDialogRequest& request) {
    return run(parent, request, true);
}

void setScript(Script s) {
    script() = std::move(s);
}

QString qtFilter(const QString& filter) {
    if (!filter.contains(u'|')) return filter;
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& p : patterns) p = p.trimmed();
        out << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patterns.join(u' '));
    }
    // A trailing description without patterns matches everything.
    if (parts.size() % 2 == 1 && !parts.back().trimmed().isEmpty())
        out << QStringLiteral("%1 (*)").arg(parts.back().trimmed());
    return out.join(QStringLiteral(";;"));
}

}  // namespace FileDialogs
