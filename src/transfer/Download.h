#pragma once

#include "transfer/RegisterStatus.h"
#include "transfer/TableProcedures.h"
#include "transfer/TransferRequest.h"
#include "transfer/TransferTables.h"

class IProgress;
class ITransferLink;

// Download data: sends the selected tables of the document and the parameter
// set of the settings file to the register. Refused with ReportNotClearText
// while the register's reports are not cleared. The progress window shows the
// steps; a failure shows its text in error mode and waits for OK; Cancel ends
// silently. The port is closed on every way out.
//
// Before the port is opened every cell of the chosen rows and tables and the
// parameter set pass DownloadCheck: a refused one ends the download as
// Refused with "Invalid data!" and, in the detail, the first refused places.
// Once the register's status is read, the prices are checked again at its
// price decimals: one it cannot store exactly is refused the same way before
// anything is sent.
TransferResult DownloadTables(ITransferLink& link, IProgress& progress, const TransferRequest& request,
                              const TransferTables& tables);
