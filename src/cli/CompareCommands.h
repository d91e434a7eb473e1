#pragma once

#include "cli/CliOptions.h"

// plu-cli history: lists the transfers, shows one, or writes its tables as a
// document.
int RunHistory(const CliOptions& options);
