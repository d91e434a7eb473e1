#pragma once

#include <QString>

// The two values of SYSTEM.CFG that are read once when the program starts and
// kept for the whole run; editing the file later takes effect at the next start.
struct StartupValues
{
    QString companyName;     // [Version] CompanyName: the About box's owner line
    qint32 updateBlock = 16; // [Address] Update: first 256-byte block a program download sends

    static StartupValues ReadFrom(const QString& settingsPath);
};

// Reads the values from AppPaths::SettingsPath(). The program calls it once at
// start; tests call it again after pointing the program folder elsewhere.
void LoadStartupValues();

// The values kept for the run; loaded on first use if LoadStartupValues has
// not been called yet.
const StartupValues& Startup();
