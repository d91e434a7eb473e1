#pragma once

#include "config/LanguageChoices.h"

#include <QDialog>
#include <QList>

class QListWidget;

// Help > Language...: the languages the windows can be shown in — English,
// the language files that come with the program and the operator's own — with
// the one in use selected. The caller makes the choice once it is accepted.
class TLanguageDlg : public QDialog
{
    Q_OBJECT
public:
    TLanguageDlg(QList<LanguageChoices::Choice> choices, QWidget* parent = nullptr);

    // The selected entry (English when none is).
    LanguageChoices::Choice Chosen() const;

    // How an entry reads in the list: the language's own name and the file.
    static QString EntryText(const LanguageChoices::Choice& choice);

private:
    QList<LanguageChoices::Choice> m_choices;
    QListWidget* m_list;
};
