#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// The languages an operator can choose and the choice itself: the program
// reads one language file (the user file); choosing a language copies one of
// the listed files there, and English removes it. The choice applies at the
// next start.
namespace LanguageChoices {

// The folders and the file a choice works with.
struct Places
{
    QString sharedFolder; // the language files that come with the program
    QString ownFolder;    // the operator's own language files (may be the shared one)
    QString userFile;     // the language file the program reads at start-up
    QString sharedFile;   // the language file read when the user file is missing
};

// The places of the running program: the "lang" folder of the shared files
// and of the program's own files, and the language file `fileName` there.
Places CurrentPlaces(const QString& fileName);

struct Choice
{
    enum class Kind { English, File, UserFile };

    Kind kind = Kind::English;
    QString path;      // empty for English
    QString localeCode; // [Language] Locale of the file, e.g. "de"; empty when it has none
    bool inUse = false; // what the program reads now

    bool operator==(const Choice&) const = default;
};

// English first, then the *.LNG files of the shared and own folders sorted
// by name, then the user file when it holds a translation that is none of
// those files (the operator's own, which must never be lost).
QList<Choice> List(const Places& places);

struct Outcome
{
    QString error;  // for the operator; empty when the choice was made
    QString keptAs; // where the operator's own translation was kept, if anywhere

    bool Done() const { return error.isEmpty(); }
};

// Makes `choice` the user file, atomically. A user file that is a copy of no
// listed file is kept first as own-YYYYMMDD-HHMMSS.LNG (time `now`) in the
// own folder. English removes the user file, or empties it when a shared
// language file would otherwise be read.
Outcome Choose(const Places& places, const Choice& choice, const QDateTime& now);

} // namespace LanguageChoices
