#include "transfer/RegisterStatus.h"

#include "model/ByteOrder.h"

RegisterStatus ParseRegisterStatus(std::span<const quint8, RegisterStatusLayout::kDataBytes> data)
{
    using namespace RegisterStatusLayout;
    RegisterStatus status;
    status.PriceDecimals = data[kPriceDecimals];
    status.ReportCleared = data[kReportState] == 0;
    status.PLUTotalsCount = ByteOrder::ReadBigSigned32(data.data() + kTotalsCount);
    return status;
}
