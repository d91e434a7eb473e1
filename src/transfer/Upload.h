#pragma once

#include "transfer/RegisterStatus.h"
#include "transfer/TableProcedures.h"
#include "transfer/TransferRequest.h"
#include "transfer/TransferTables.h"

#include <functional>

class Document;
class IProgress;
class ITransferLink;

// Upload data: reads the selected tables from the register into the table
// models and the parameter set into the settings file. Cells the upload does
// not reach keep what they held, so the caller resets the document first (as
// New does) before calling. Failures and Cancel end as for DownloadTables;
// rows read before a failure keep their new contents. When the settings file
// refuses a write, the parameter step fails and the result's detail holds
// "Unable to write to ..." for a message box.
TransferResult UploadTables(ITransferLink& link, IProgress& progress, const TransferRequest& request,
                            const TransferTables& tables);

// Whether an upload of these TableBit()s reads into the document: only the
// PLU and department tables do; the parameter set goes to the settings file,
// and an upload of it alone leaves the document (and its name) as it is.
bool UploadTouchesDocument(unsigned selection);

// Upload data starts as New does: the document is reset before the port opens,
// so it is reset even when the connection then fails. Unsaved changes are not
// dropped silently: querySaveChanges (the main window's save prompt, asked only
// when the document is modified) returns false when the operator chose Cancel,
// and then nothing is reset and the upload must not start. Returns whether the
// upload may go on.
bool ResetDocumentForUpload(Document& document, const std::function<bool()>& querySaveChanges);
