#pragma once

#include "cli/CliOptions.h"
#include "files/Document.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"
#include "transfer/TransferRequest.h"

class CliSession;

// The document a plu-cli table command works on: its three tables.
struct CliDocument
{
    TextTable plu{TableKind::PLU};
    TextTable departments{TableKind::Department};
    RecyTable recycling;
    Document document{plu, departments, recycling};

    // Loads an existing document; false (after saying so) when there is none.
    bool Open(const QString& file);
};

// The transfer a table command asks for: the session's port and rate, the
// command line's tables and range.
TransferRequest RequestOf(const CliSession& session, const CliOptions& options);
