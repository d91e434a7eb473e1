#pragma once

#include "cli/CliOptions.h"

// plu-cli download and upload: the document's tables and the parameter set to
// or from the register, through the same drivers as the main window. Returns
// the exit status.
int RunTableTransfer(const CliOptions& options);
