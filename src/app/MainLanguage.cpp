#include "app/Main.h"

#include "app/LanguageDlg.h"
#include "app/LanguageFile.h"
#include "config/LanguageChoices.h"
#include "model/Language.h"
#include "model/MessageBox.h"

#include <QDateTime>
#include <QStatusBar>

// The program reads its language once, at start-up: redoing every window's
// texts while it runs would miss the ones already formatted, so a new choice
// waits for the next start.
void TMainForm::LanguageItemClick()
{
    const LanguageChoices::Places places = LanguageChoices::CurrentPlaces(LanguageFileName());
    TLanguageDlg dialog(LanguageChoices::List(places), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const LanguageChoices::Choice chosen = dialog.Chosen();
    const LanguageChoices::Outcome outcome = LanguageChoices::Choose(places, chosen, QDateTime::currentDateTime());
    if (!outcome.Done()) {
        m_messages->Error(outcome.error);
        return;
    }
    QString note = Tr("LanguageDlg", "AppliesAfterRestart", "%1 is shown when the program is started again.")
                       .arg(TLanguageDlg::EntryText({chosen.kind, chosen.path, chosen.localeCode, false}));
    statusBar()->showMessage(note);
    if (!outcome.keptAs.isEmpty())
        note += QLatin1Char('\n')
                + Tr("LanguageDlg", "OwnKept", "Your own translation was kept as %1 and stays in the list.")
                      .arg(outcome.keptAs);
    m_messages->Information(note);
}
