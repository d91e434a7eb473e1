#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

// The About box: program title, version, year, build and the owner line, with
// an OK button, and the translations of the language file that are not used
// when there are any. Shown modally by the main window's Help menu.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    // `owner` is the company name read from the settings file at start-up.
    explicit TAboutBox(const QString& owner, QWidget* parent = nullptr);

    // The program's own picture, also used as the window icon.
    static QIcon ProgramIcon();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowLanguageProblems();

    QLabel* m_version = nullptr;
    QLabel* m_buildDate = nullptr;
    QLabel* m_problemsLabel = nullptr;
    QPlainTextEdit* m_problems = nullptr;
};
