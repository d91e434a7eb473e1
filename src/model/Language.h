#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

// The operator's language: the texts of the language file that replace the
// program's built-in English ones, by section and key. Sections are window
// names ("MainForm", "PriceChangeDlg") or, for sentences that several windows
// show, the unit that words them ("CommandReport", "CellRules"); keys are a
// component's name with ".Caption" or ".Hint", or a message's name. Every text
// a window shows is looked up here. With nothing installed the English text is
// the answer, which is how plu-cli keeps the English messages scripts read.
//
// Lookups may come from any thread (register threads word their outcome);
// installing happens on the window thread before any of them start.
namespace Language {

// The slot a section and key share, without regard to letter case.
QString Slot(QStringView section, QStringView key);

// Replaces the installed texts: `texts` maps Slot(section, key) to the text.
// `problems` are the translations refused when the file was read.
void Install(QHash<QString, QString> texts, QStringList problems = {});

// The installed text for the key, or `english`. A translation whose %1, %2,
// ... differ from the English text's is not used, and is reported once.
QString Text(QStringView section, QStringView key, const QString& english);

// Every refused translation so far, in the order found, one line each.
QStringList Problems();

// Whether a translation uses the same placeholders %1 to %99 as the English.
bool SamePlaceholders(const QString& english, const QString& translated);

// "[Section] Key: ..." — the line a refused translation is reported with.
QString PlaceholderProblem(QStringView section, QStringView key, const QString& english,
                           const QString& translated);

} // namespace Language

// Shorthand for the windows' own texts, written in UTF-8:
// Tr("PriceChangeDlg", "RowsGroup.Caption", "Rows").
QString Tr(const char* section, const char* key, const char* english);
