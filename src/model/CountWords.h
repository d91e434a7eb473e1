#pragma once

#include "model/Language.h"

#include <QString>

#include <cstddef>

// A count with its noun from the language table: "1 PLU", "3000 PLUs". The
// key with "One" appended holds the text for one, the key itself the text for
// any other count with %1 for it. The count is written in plain digits (the
// command-line program's output is read by scripts).
inline QString CountWords(const char* section, const char* key, std::size_t count, const char* one,
                          const char* many)
{
    const QString name = QString::fromLatin1(key);
    if (count == 1)
        return Language::Text(QString::fromLatin1(section), name + QStringLiteral("One"), QString::fromUtf8(one));
    return Language::Text(QString::fromLatin1(section), name, QString::fromUtf8(many)).arg(count);
}
