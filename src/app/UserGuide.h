#pragma once

#include <QDialog>

class QTextBrowser;

// Help > Contents: the user guide shipped with the program (a Markdown file,
// user-guide.md, beside the programs in a build tree, in the shared folder
// when installed) in a window of its own that stays open beside the main
// window.
class TUserGuide : public QDialog
{
    Q_OBJECT
public:
    explicit TUserGuide(QWidget* parent = nullptr);

    // The guide's file name, looked up as a read-only program file.
    static QString FileName();

    // Loads the guide at `path`; when it cannot be read, the window says
    // where it was looked for.
    void Load(const QString& path);

    QTextBrowser& Browser() { return *m_browser; }

private:
    QTextBrowser* m_browser;
};
