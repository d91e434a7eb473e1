#include "transfer/Download.h"

#include "transfer/Para.h"
#include "transfer/DownloadCheck.h"
#include "transfer/TransferDriver.h"

TransferResult DownloadTables(ITransferLink& link, IProgress& progress, const TransferRequest& request,
                              const TransferTables& tables)
{
    if (auto refused = DownloadCheck::RefusedResult(request, tables))
        return *refused;
    int lastPlu = 0;
    const auto moveTable = [&](TransferTable table, const RegisterStatus& status) {
        switch (table) {
        case TransferTable::PLU:
            return DownloadPLUTable(link, progress, tables.plu, request.range, status.PriceDecimals, &lastPlu);
        case TransferTable::Department:
            return DownloadDeptmentTable(link, progress, tables.departments, status.PriceDecimals);
        case TransferTable::Parameter:
            return DownloadParameters(link, progress, tables.settingsPath);
        }
        return false;
    };
    const auto checkStatus = [&](const RegisterStatus& status) {
        return DownloadCheck::RefusedResult(request, tables, status.PriceDecimals);
    };
    TransferResult result = TransferDriver::Run(link, progress, request, TransferDriver::Direction::Download,
                                                moveTable, checkStatus);
    result.reach.lastPlu = lastPlu;
    return result;
}
