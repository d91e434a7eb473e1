#pragma once

#include <QLocale>
#include <QString>

// A count with its noun from the language table: "1 PLU", "3000 PLUs". In
// `section`, the key with "One" appended holds the text for one, the key
// itself the text for any other count with %1 for it. The count is written
// in plain digits (the command-line program's output is read by scripts)
// unless a window passes the locale its numbers follow.
QString CountWords(const char* section, const char* key, qint64 count, const char* one,
                   const char* many, const QLocale& locale = QLocale::c());
