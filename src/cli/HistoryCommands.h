#pragma once

#include "cli/CliOptions.h"

// plu-cli history: list the transfer history, show one entry, or write an
// entry's tables as a document. Returns the exit status.
int RunHistory(const CliOptions& options);
