#pragma once

#include <QString>

#include <optional>

// The settings file of one plu-cli run and the port it names.

struct PortSettings
{
    int number = 2;      // [Comm] Port: "COM" + number
    int baudIndex = 0;   // [Comm] BaudRate
};

// Makes the given file (or SYSTEM.CFG beside plu-cli) the run's settings file:
// the link trace is written beside it, and "COMn" resolves through its
// section [Ports] (a relative device path counts from the file's folder).
// Returns the file's absolute path.
QString UseSettingsFile(const std::optional<QString>& file);

PortSettings ReadPortSettings(const QString& settingsPath);
