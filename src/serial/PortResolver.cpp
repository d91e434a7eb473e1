#include "serial/PortResolver.h"

#include <QRegularExpression>

namespace {

PortResolver& CurrentResolver()
{
    static PortResolver resolver;
    return resolver;
}

} // namespace

void SetPortResolver(PortResolver resolver)
{
    CurrentResolver() = std::move(resolver);
}

bool HasPortResolver()
{
    return bool(CurrentResolver());
}

QString ResolvePortName(const QString& commName)
{
    const PortResolver& resolver = CurrentResolver();
    return resolver ? resolver(commName) : DefaultPortName(commName);
}

QString DefaultPortName(const QString& commName)
{
    if (commName.contains(QLatin1Char('/')))
        return commName;
    static const QRegularExpression comPattern(QStringLiteral("^COM([1-9][0-9]{0,3})$"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = comPattern.match(commName);
    if (!match.hasMatch())
        return commName;
    return QStringLiteral("/dev/ttyS%1").arg(match.captured(1).toInt() - 1);
}
