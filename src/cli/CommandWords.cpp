#include "cli/CommandWords.h"

namespace CommandWords {

QStringList Positional(const QStringList& arguments, const QStringList& valueOptions)
{
    QStringList positional;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(QLatin1String("--")))
            positional << argument;
        else if (valueOptions.contains(argument))
            ++i;
    }
    return positional;
}

OptionScan ScanOptions(const QStringList& arguments, const QStringList& valueOptions,
                       const std::function<QString(const QString& name, const QString& value)>& take)
{
    OptionScan scan;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString name = arguments[i];
        if (!name.startsWith(QLatin1String("--")))
            continue;
        if (name == QLatin1String("--help")) {
            scan.help = true;
            return scan;
        }
        QString value;
        const qsizetype equals = name.indexOf(u'=');
        if (equals >= 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        } else if (valueOptions.contains(name)) {
            if (i + 1 >= arguments.size()) {
                scan.error = QStringLiteral("%1 needs a value").arg(name);
                return scan;
            }
            value = arguments[++i];
        }
        scan.error = take(name, value);
        if (!scan.error.isEmpty())
            return scan;
    }
    return scan;
}

} // namespace CommandWords
