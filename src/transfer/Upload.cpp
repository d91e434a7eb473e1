#include "transfer/Upload.h"

#include "transfer/Para.h"
#include "transfer/TransferDriver.h"

TransferResult UploadTables(ITransferLink& link, IProgress& progress, const TransferRequest& request,
                            const TransferTables& tables)
{
    int lastPlu = 0;
    const auto moveTable = [&](TransferTable table, const RegisterStatus& status) {
        switch (table) {
        case TransferTable::PLU:
            return UploadPLUTable(link, progress, tables.plu, request.range, status, &lastPlu);
        case TransferTable::Department:
            return UploadDeptmentTable(link, progress, tables.departments, status.PriceDecimals);
        case TransferTable::Parameter:
            return UploadParameters(link, tables.settingsPath);
        }
        return false;
    };
    TransferResult result = TransferDriver::Run(link, progress, request, TransferDriver::Direction::Upload, moveTable);
    result.reach.lastPlu = lastPlu;
    return result;
}

bool UploadTouchesDocument(unsigned selection)
{
    return (selection & (TableBit(TransferTable::PLU) | TableBit(TransferTable::Department))) != 0;
}
