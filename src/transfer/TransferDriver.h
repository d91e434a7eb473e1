#pragma once

#include "transfer/RegisterStatus.h"
#include "transfer/TransferRequest.h"

#include <QString>

#include <functional>
#include <optional>

class IProgress;
class ITransferLink;

// The sequence every table transfer runs: open the port, show the progress
// window, log in, read the register's status, move the selected tables in the
// order PLU, department, parameter, log out, close the port. The port is closed
// on every way out once it was opened. Used by DownloadTables and UploadTables.
namespace TransferDriver {

enum class Direction { Download, Upload };

// Moves one table; true when every package of it was exchanged. May throw
// (a settings file that refuses a write): that counts as the table failing.
using TableStep = std::function<bool(TransferTable table, const RegisterStatus& status)>;

// Looks at the register's status before the first table moves; a result ends
// the transfer there (logged out normally, nothing sent): what a download
// would send that this register cannot store.
using StatusCheck = std::function<std::optional<TransferResult>(const RegisterStatus& status)>;

TransferResult Run(ITransferLink& link, IProgress& progress, const TransferRequest& request,
                   Direction direction, const TableStep& moveTable, const StatusCheck& checkStatus = {});

// The fixed text of the status step.
QString CheckStatusText();

} // namespace TransferDriver
