#include "app/TextViewer.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

void OpenInTextViewer(const QString& path)
{
    const QString viewer = QStandardPaths::findExecutable(QStringLiteral("notepad.exe"));
    if (!viewer.isEmpty() && QProcess::startDetached(viewer, {path}))
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
