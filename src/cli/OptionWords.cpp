#include "cli/OptionWords.h"

namespace OptionWords {

QStringList Positional(const QStringList& arguments, const TakesValue& takesValue)
{
    QStringList positional;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(QLatin1String("--")))
            positional << argument;
        else if (takesValue(argument))
            ++i;
    }
    return positional;
}

std::optional<Option> Take(const QStringList& arguments, qsizetype& i, const TakesValue& takesValue,
                           QString& error)
{
    Option option{arguments[i], QString()};
    const qsizetype equals = option.name.indexOf(u'=');
    if (equals >= 0) {
        option.value = option.name.mid(equals + 1);
        option.name.truncate(equals);
    } else if (takesValue(option.name)) {
        if (i + 1 >= arguments.size()) {
            error = QStringLiteral("%1 needs a value").arg(option.name);
            return std::nullopt;
        }
        option.value = arguments[++i];
    }
    return option;
}

} // namespace OptionWords
