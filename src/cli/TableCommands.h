#pragma once

#include "cli/CliOptions.h"

// plu-cli download, upload and compare: the register commands the main window
// runs too, through the same runner, with the console as their front end.
namespace TableCommands {
constexpr int kDiffer = 3;   // compare found differences
}

// Returns the exit status.
int RunTableTransfer(const CliOptions& options);
