#pragma once

#include <QList>
#include <QString>

class QWidget;

// The language file of a program: its path with the extension replaced by
// ".LNG", or ".LNG" appended when it has none (plu-manager reads
// plu-manager.LNG beside itself).
QString LanguageFilePathFor(const QString& executablePath);

// The name of the running program's language file ("plu-manager.LNG").
QString LanguageFileName();

// The language file of the running program: beside it in the portable
// layout; in the installed layout the operator's own copy in the program's
// files folder first, then the one in the shared folder.
QString DefaultLanguageFilePath();

// The program's language from the file at `path`: its texts, checked against
// the built-in list of keys (a translation whose placeholders differ from the
// English text is refused and reported on stderr; see the About box), its
// column titles and transfer messages, and, with [Language] Locale=de, Qt's
// own German texts for its standard dialogs and the German way of writing
// numbers in the windows. Cell texts and files keep the register's format.
void LoadLanguage(const QString& path);

// Replaces a window's texts from the loaded language: the window's section is
// its objectName; its caption takes "Caption", every named control, menu and
// action Name.Caption and Name.Hint. Windows made after start-up call it
// once they are built.
void TranslateWindow(QWidget& window);

// The built-in list of every key with its English text.
QString LanguageCatalogue();

// Replaces the operator-visible texts from the language file at `path`, an INI
// file. Each window's section is its objectName
// ("MainForm", "AboutBox", ...): a non-empty caption takes the key "Caption";
// every named control, menu and action of the window with a non-empty text
// takes name.Caption and with a non-empty hint name.Hint. Then the column
// titles, transfer choices and transfer messages take their sections. A
// missing file or key keeps the current text. The file is read once, as UTF-8
// when it is valid UTF-8 (a byte-order mark is skipped), else as Latin-1:
// LoadLanguage, then TranslateWindow for each window.
void ApplyLanguageFile(const QString& path, const QList<QWidget*>& windows);
