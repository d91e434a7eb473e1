#pragma once

#include "transfer/RegisterStatus.h"
#include "transfer/TableProcedures.h"
#include "transfer/TransferRequest.h"
#include "transfer/TransferTables.h"

class IProgress;
class IRegisterLink;

// Upload data: reads the selected tables from the register into the table
// models and the parameter set into the settings file. Cells the upload does
// not reach keep what they held, so the caller resets the document first (as
// New does) before calling. Failures and Cancel end as for DownloadTables;
// rows read before a failure keep their new contents. When the settings file
// refuses a write, the parameter step fails and the result's detail holds
// "Unable to write to ..." for a message box.
TransferResult UploadTables(IRegisterLink& link, IProgress& progress, const TransferRequest& request,
                            const TransferTables& tables);
