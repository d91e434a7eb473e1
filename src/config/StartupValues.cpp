#include "config/StartupValues.h"

#include "config/AppPaths.h"
#include "config/SettingsFile.h"

#include <optional>

namespace {

std::optional<StartupValues>& Kept()
{
    static std::optional<StartupValues> values;
    return values;
}

} // namespace

StartupValues StartupValues::ReadFrom(const QString& settingsPath)
{
    const SettingsFile file(settingsPath);
    StartupValues values;
    values.companyName = file.ReadText(QStringLiteral("Version"), QStringLiteral("CompanyName"));
    values.updateBlock =
        file.ReadInteger(QStringLiteral("Address"), QStringLiteral("Update"), values.updateBlock);
    return values;
}

void LoadStartupValues()
{
    Kept() = StartupValues::ReadFrom(AppPaths::SettingsPath());
}

const StartupValues& Startup()
{
    if (!Kept())
        LoadStartupValues();
    return *Kept();
}
