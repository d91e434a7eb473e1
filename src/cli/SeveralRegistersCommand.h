#pragma once

#include "cli/CliOptions.h"

#include <QString>
#include <QStringList>

// download and compare on several registers side by side: --port given more
// than once, --register NAME, --all-registers.

// Whether the port is among those named already (COMn in any letter case).
bool PortNamedBefore(const QStringList& ports, const QString& port);

// Why the registers of the command line do not fit its command; empty when
// they do.
QString RegistersProblem(const CliOptions& options);

// The command line names several registers (or any by name).
bool NamesSeveralRegisters(const CliOptions& options);

// Runs the command on every register named; prints one line per register on
// standard output as each ends. Exit status: 0 all done, 1 any failed, 2 the
// registers named do not fit together, 3 (compare) none failed, any differs.
int RunOnSeveralRegisters(const CliOptions& options);
