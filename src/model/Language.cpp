#include "model/Language.h"

#include <QSet>

#include <cstdio>
#include <mutex>
#include <set>
#include <shared_mutex>

namespace {

struct InstalledLanguage
{
    std::shared_mutex lock;
    QHash<QString, QString> texts;
    QStringList problems;
    QSet<QString> reported; // slots refused while the program ran
};

InstalledLanguage& Installed()
{
    static InstalledLanguage installed;
    return installed;
}

// The numbers of the placeholders %1 to %99 a text uses; "%%" is no
// placeholder.
std::set<int> PlaceholderNumbers(const QString& text)
{
    std::set<int> numbers;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'%')
            continue;
        if (text[i + 1] == u'%') {
            ++i;
            continue;
        }
        int number = 0;
        qsizetype j = i + 1;
        while (j < text.size() && j < i + 3 && text[j].isDigit() && text[j].unicode() < 0x80)
            number = number * 10 + (text[j++].unicode() - u'0');
        if (j > i + 1 && number > 0)
            numbers.insert(number);
    }
    return numbers;
}

void Report(const QString& line)
{
    std::fprintf(stderr, "plu-manager: %s\n", qUtf8Printable(line));
}

QString Joined(const std::set<int>& numbers)
{
    QStringList names;
    for (int number : numbers)
        names << QStringLiteral("%") + QString::number(number);
    return names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "));
}

} // namespace

namespace Language {

QString Slot(QStringView section, QStringView key)
{
    return section.toString().toCaseFolded() + QChar(u'\n') + key.toString().toCaseFolded();
}

void Install(QHash<QString, QString> texts, QStringList problems)
{
    InstalledLanguage& installed = Installed();
    const std::unique_lock guard(installed.lock);
    installed.texts = std::move(texts);
    installed.problems = std::move(problems);
    installed.reported.clear();
}

QString Text(QStringView section, QStringView key, const QString& english)
{
    InstalledLanguage& installed = Installed();
    const QString slot = Slot(section, key);
    QString translated;
    {
        const std::shared_lock guard(installed.lock);
        const auto found = installed.texts.constFind(slot);
        if (found == installed.texts.constEnd())
            return english;
        translated = *found;
    }
    if (SamePlaceholders(english, translated))
        return translated;
    const std::unique_lock guard(installed.lock);
    if (!installed.reported.contains(slot)) {
        installed.reported.insert(slot);
        installed.problems << PlaceholderProblem(section, key, english, translated);
        Report(installed.problems.last());
    }
    return english;
}

QStringList Problems()
{
    InstalledLanguage& installed = Installed();
    const std::shared_lock guard(installed.lock);
    return installed.problems;
}

bool SamePlaceholders(const QString& english, const QString& translated)
{
    return PlaceholderNumbers(english) == PlaceholderNumbers(translated);
}

QString PlaceholderProblem(QStringView section, QStringView key, const QString& english,
                           const QString& translated)
{
    return QStringLiteral("[%1] %2: the translation uses %3 where the English text uses %4; "
                          "the English text is shown")
        .arg(section, key, Joined(PlaceholderNumbers(translated)), Joined(PlaceholderNumbers(english)));
}

} // namespace Language

QString Tr(const char* section, const char* key, const char* english)
{
    return Language::Text(QString::fromLatin1(section), QString::fromLatin1(key), QString::fromUtf8(english));
}
