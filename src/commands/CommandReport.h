#pragma once

#include "transfer/ServiceContext.h"
#include "transfer/TransferRequest.h"

#include <QString>

struct RegisterCommandRequest;
struct RegisterCommandResult;

// The sentences that tell the operator how a register command ended, made
// here once for the main window and plu-cli alike.

// What a command that worked did: "Download finished: 3000 PLUs and 9
// departments in 27 s (COM2, 115200 bit/s)".
QString CommandDoneText(const RegisterCommandRequest& request, const RegisterCommandResult& result);

// The same for a service function named as in the history ("test", "dump",
// "program", "font"): "Test: the register answers at 115200 bit/s".
QString ServiceDoneText(const QString& command, const ServicePort& port, qint64 elapsedMs);

// Why a command failed, in plain words; for a port that could not be opened
// with what the connection check finds in the way and its remedy. Empty when
// nothing is known.
QString CommandCauseText(const FailureCause& cause, const QString& portName);

// What a failed or cancelled download left on the register: "PLUs 1–1200
// were sent; the register keeps its earlier PLUs from 1201 on — send again,
// or Compare". Empty for one that never reached the register.
QString DownloadLeftText(const RegisterCommandRequest& request, const TransferResult& result);

// Of a failed or cancelled upload: how far it read ("Upload cancelled after
// PLU 480"), and with what the document keeps added ("...: the rest of the
// table keeps its earlier contents"). Empty when it never reached the register.
QString UploadStopText(const TransferRequest& request, const TransferResult& result);
QString UploadLeftText(const TransferRequest& request, const TransferResult& result);

// Whether a failed or cancelled upload read anything into its tables.
bool UploadReadAnything(const TransferRequest& request, const TransferResult& result);
