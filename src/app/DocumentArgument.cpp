#include "app/DocumentArgument.h"

QString DocumentArgument(const QStringList& arguments)
{
    // Options followed by a value of their own.
    const QStringList withValue{QStringLiteral("--screenshot"), QStringLiteral("--port-map")};
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (withValue.contains(argument)) {
            ++i;
            continue;
        }
        if (argument == QStringLiteral("--"))
            return i + 1 < arguments.size() ? arguments[i + 1] : QString();
        if (!argument.startsWith(QLatin1Char('-')))
            return argument;
    }
    return {};
}
