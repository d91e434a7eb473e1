#pragma once

#include <QList>
#include <QString>

class QWidget;

// The language file of a program: its path with the extension replaced by
// ".LNG", or ".LNG" appended when it has none (plu-manager reads
// plu-manager.LNG beside itself).
QString LanguageFilePathFor(const QString& executablePath);

// The language file of the running program.
QString DefaultLanguageFilePath();

// Replaces the operator-visible texts from the language file at `path`, an INI
// file read as single-byte text. Each window's section is its objectName
// ("MainForm", "AboutBox", ...): a non-empty caption takes the key "Caption";
// every named control, menu and action of the window with a non-empty text
// takes name.Caption and with a non-empty hint name.Hint. Then the column
// titles, transfer choices and transfer messages take their sections. A
// missing file or key keeps the current text; nothing is reported.
void ApplyLanguageFile(const QString& path, const QList<QWidget*>& windows);
