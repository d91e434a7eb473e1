#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About box: program title, version, year, build and the owner line, with
// an OK button. Shown modally by the main window's Help menu.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    // `owner` is the company name read from the settings file at start-up.
    explicit TAboutBox(const QString& owner, QWidget* parent = nullptr);

    // The program's own picture, also used as the window icon.
    static QIcon ProgramIcon();
};
