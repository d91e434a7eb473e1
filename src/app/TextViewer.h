#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QUrl;

// Hands a URL to the desktop; false when the desktop has no program for it.
using UrlOpener = std::function<bool(const QUrl& url)>;

// The desktop's own opener (QDesktopServices).
UrlOpener DesktopOpener();

// Shows a text file to the operator without waiting: in "notepad.exe" when
// that viewer is installed, otherwise in whatever the desktop opens text
// files with, and where the desktop has nothing for it, in the program's own
// viewer window over `parent`.
void OpenInTextViewer(const QString& path, QWidget* parent, const UrlOpener& opener = DesktopOpener());

// The program's own viewer of a text file: the text, read-only, its path, and
// a button that shows the file's folder.
class TTextViewer : public QDialog
{
    Q_OBJECT
public:
    TTextViewer(const QString& path, const UrlOpener& opener, QWidget* parent = nullptr);

    QPlainTextEdit& Text() { return *m_text; }

    // Opens the file's folder through the desktop, or in a folder window of
    // the program's own when the desktop has nothing for folders either.
    void ShowFolder();

private:
    QString m_path;
    UrlOpener m_opener;
    QPlainTextEdit* m_text;
};
