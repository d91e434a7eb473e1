#include "model/CountWords.h"

#include "model/Language.h"

QString CountWords(const char* section, const char* key, qint64 count, const char* one, const char* many,
                   const QLocale& locale)
{
    const QString sectionName = QString::fromLatin1(section);
    const QString name = QString::fromLatin1(key);
    if (count == 1)
        return Language::Text(sectionName, name + QStringLiteral("One"), QString::fromUtf8(one));
    return Language::Text(sectionName, name, QString::fromUtf8(many)).arg(locale.toString(count));
}
