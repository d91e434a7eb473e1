#pragma once

#include <QString>

#include <optional>
#include <vector>

// The shop's named registers, kept in section [Registers] of SYSTEM.CFG:
//
//   [Registers]
//   Count=2
//   Name1=Till 1
//   Port1=COM3
//   BaudRate1=4
//   Name2=Till 2
//   ...
//
// A port is "COMn" (mapped through [Ports] like the current port) or a device
// path; the line rate is an index 0..4 like [Comm] BaudRate. The current port
// of the single-register commands is not part of the list.
struct NamedRegister
{
    QString name;
    QString port;
    int baudIndex = 0;

    bool operator==(const NamedRegister&) const = default;
};

using RegisterList = std::vector<NamedRegister>;

// A list longer than this is not read: it would not be a shop's tills.
constexpr int kMaxRegisters = 32;

// The list as the file holds it, in order; an entry without a name or port,
// with a rate index outside 0..4 or a name already taken is left out.
RegisterList ReadRegisterList(const QString& settingsPath);

// Replaces the list in the file: the count and every entry in one write, then
// the keys of entries no longer listed go (past the count they are not read,
// so a failure between the two leaves a sound list). Throws
// SettingsWriteError when the file cannot be written.
void WriteRegisterList(const QString& settingsPath, const RegisterList& registers);

// Why the list must not be stored as it is (a name missing or taken twice, a
// port missing, a rate index out of range); empty when it may.
QString RegisterListProblem(const RegisterList& registers);

// The entry of that name, letter case aside.
std::optional<NamedRegister> FindRegister(const RegisterList& registers, const QString& name);

// The name of the register on that port, letter case of COMn aside; empty
// when no entry has it.
QString RegisterNameOfPort(const RegisterList& registers, const QString& port);
