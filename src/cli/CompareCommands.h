#pragma once

#include "cli/CliOptions.h"
#include "transfer/TransferRequest.h"
#include "transfer/TransferTables.h"

class CliSession;

// plu-cli compare, and the register-workflow parts of download and
// upload (--verify, --changes-only, the history entries).
namespace CompareCommands {
constexpr int kDiffer = 3;   // compare found differences
}

// Download (plain, --changes-only, then --verify) or upload of the document's
// tables over the session's link, each transfer recorded in the history.
TransferResult RunRecordedTableTransfer(CliSession& session, const CliOptions& options,
                                        const TransferRequest& request, const TransferTables& tables);

int RunCompare(const CliOptions& options);
