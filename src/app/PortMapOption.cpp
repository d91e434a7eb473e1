#include "app/PortMapOption.h"

#include "serial/PortResolver.h"
#include "config/PortMap.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

// Only COM1, COM2, ... can be mapped, as in the settings file.
bool IsComName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^COM[1-9][0-9]*$"));
    return pattern.match(name).hasMatch();
}

} // namespace

QMap<QString, QString> ParsePortMapOptions(const QStringList& arguments)
{
    QMap<QString, QString> overrides;
    for (int i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] != QStringLiteral("--port-map"))
            continue;
        const QString mapping = arguments[++i];
        const qsizetype equals = mapping.indexOf(QLatin1Char('='));
        if (equals <= 0 || equals == mapping.size() - 1)
            continue;
        const QString name = mapping.left(equals).trimmed().toUpper();
        if (IsComName(name))
            overrides[name] = QFileInfo(mapping.mid(equals + 1)).absoluteFilePath();
    }
    return overrides;
}

void UsePortMapOverrides(const QMap<QString, QString>& overrides)
{
    SetPortResolver([overrides](const QString& commName) {
        const auto mapped = overrides.constFind(commName.toUpper());
        return mapped != overrides.constEnd() ? *mapped : PortDevicePath(commName);
    });
}
