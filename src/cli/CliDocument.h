#pragma once

#include "cli/CliOptions.h"
#include "files/Document.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"
#include "commands/RegisterCommand.h"
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

    // Makes the document at path ready for a command of this kind before the
    // port is touched; why it cannot run, or empty. A download or compare
    // needs the document and every file a chosen table comes from (a missing
    // one would be sent or compared as an empty table). An upload needs a
    // folder that takes the files it writes, and starts from the document
    // there (unless --new), so that what it does not read stays.
    QString Prepare(RegisterCommandKind kind, const CliOptions& options, const QString& path,
                    const QString& settingsPath);

private:
    void Load(const QString& path);
};

// The transfer a table command asks for: the session's port and rate, the
// command line's tables and range.
TransferRequest RequestOf(const CliSession& session, const CliOptions& options);
