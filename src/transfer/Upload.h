#pragma once

#include "transfer/RegisterStatus.h"
#include "transfer/TableProcedures.h"
#include "transfer/TransferRequest.h"
#include "transfer/TransferTables.h"

class IProgress;
class ITransferLink;

// Upload data: reads the selected tables from the register into the table
// models and the parameter set into the settings file. Cells the upload does
// not reach keep what they held, so the caller hands in tables of its own and
// takes over the rows read once the upload succeeded. Failures and Cancel end
// as for DownloadTables; rows read before a failure keep their new contents.
// When the settings file refuses a write, the parameter step fails and the
// result's detail holds "Unable to write to ..." for a message box.
TransferResult UploadTables(ITransferLink& link, IProgress& progress, const TransferRequest& request,
                            const TransferTables& tables);

// Whether an upload of these TableBit()s reads into the document: only the
// PLU and department tables do; the parameter set goes to the settings file,
// and an upload of it alone leaves the document (and its name) as it is.
bool UploadTouchesDocument(unsigned selection);
