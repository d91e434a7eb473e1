#include "config/RegisterList.h"

#include "model/Language.h"
#include "config/SettingsFile.h"

#include <QSet>

namespace {

const QString kSection = QStringLiteral("Registers");
constexpr int kLastBaudIndex = 4;

QString Key(const char* field, int number)
{
    return QString::fromLatin1(field) + QString::number(number);
}

bool SamePort(const QString& a, const QString& b)
{
    // COMn names are the operator's and come in any case; paths are exact.
    const bool comNames = !a.contains(QLatin1Char('/')) && !b.contains(QLatin1Char('/'));
    return a.compare(b, comNames ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
}

} // namespace

RegisterList ReadRegisterList(const QString& settingsPath)
{
    const SettingsFile settings(settingsPath);
    const int count = settings.ReadInteger(kSection, QStringLiteral("Count"), 0);
    RegisterList registers;
    if (count < 1 || count > kMaxRegisters)
        return registers;
    for (int number = 1; number <= count; ++number) {
        NamedRegister entry;
        entry.name = settings.ReadText(kSection, Key("Name", number)).trimmed();
        entry.port = settings.ReadText(kSection, Key("Port", number)).trimmed();
        entry.baudIndex = settings.ReadInteger(kSection, Key("BaudRate", number), 0);
        if (entry.name.isEmpty() || entry.port.isEmpty() || entry.baudIndex < 0 || entry.baudIndex > kLastBaudIndex
            || FindRegister(registers, entry.name))
            continue;
        registers.push_back(entry);
    }
    return registers;
}

void WriteRegisterList(const QString& settingsPath, const RegisterList& registers)
{
    SettingsFile settings(settingsPath);
    const int stored = settings.ReadInteger(kSection, QStringLiteral("Count"), 0);
    std::vector<std::pair<QString, QString>> values{{QStringLiteral("Count"), QString::number(registers.size())}};
    int number = 0;
    for (const NamedRegister& entry : registers) {
        ++number;
        values.emplace_back(Key("Name", number), entry.name);
        values.emplace_back(Key("Port", number), entry.port);
        values.emplace_back(Key("BaudRate", number), QString::number(entry.baudIndex));
    }
    settings.WriteTexts(kSection, values);
    for (int gone = number + 1; gone <= qBound(0, stored, kMaxRegisters); ++gone) {
        for (const char* field : {"Name", "Port", "BaudRate"})
            settings.RemoveKey(kSection, Key(field, gone));
    }
}

QString RegisterListProblem(const RegisterList& registers)
{
    if (registers.size() > std::size_t(kMaxRegisters))
        return Tr("RegisterList", "TooMany", "At most %1 registers can be listed.").arg(kMaxRegisters);
    QSet<QString> names;
    for (const NamedRegister& entry : registers) {
        const QString name = entry.name.trimmed();
        if (name.isEmpty())
            return Tr("RegisterList", "NoName", "Every register needs a name.");
        if (name != entry.name || name.contains(QLatin1Char('\n')))
            return Tr("RegisterList", "BadName", "The name \"%1\" has blanks at its ends or a line break.").arg(entry.name);
        if (names.contains(name.toLower()))
            return Tr("RegisterList", "NameTwice", "The name \"%1\" is given twice.").arg(name);
        names.insert(name.toLower());
        if (entry.port.trimmed().isEmpty())
            return Tr("RegisterList", "NoPort", "The register \"%1\" has no port.").arg(name);
        if (entry.baudIndex < 0 || entry.baudIndex > kLastBaudIndex)
            return Tr("RegisterList", "NoRate", "The register \"%1\" has no valid line rate.").arg(name);
    }
    return {};
}

std::optional<NamedRegister> FindRegister(const RegisterList& registers, const QString& name)
{
    for (const NamedRegister& entry : registers) {
        if (entry.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return entry;
    }
    return std::nullopt;
}

QString RegisterNameOfPort(const RegisterList& registers, const QString& port)
{
    for (const NamedRegister& entry : registers) {
        if (SamePort(entry.port, port))
            return entry.name;
    }
    return {};
}
