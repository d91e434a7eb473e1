#include "transfer/TableProcedures.h"

#include "model/Defs.h"
#include "model/TextTable.h"
#include "transfer/Progress.h"
#include "transfer/Records.h"
#include "transfer/TableSnapshot.h"
#include "transfer/TransferLink.h"

#include <algorithm>

namespace {

constexpr int kDepartments = 9;

} // namespace

bool DownloadPLUTable(ITransferLink& link, IProgress& progress, const TextTable& plu,
                      PluRange range, quint8 priceDecimals)
{
    if (!range.IsValid())
        return false;
    const int packages = DivRoundUp(range.end - range.begin + 1, PLUPackageLayout::kMaxEntries);
    progress.SetMargin(packages);
    for (int k = 0; k < packages; ++k) {
        progress.SetProgress(k + 1);
        if (IsDismissed(progress))
            return false;
        const auto data = link.PacketData();
        for (int i = 0; i < PLUPackageLayout::kMaxEntries; ++i) {
            const int number = range.begin + PLUPackageLayout::kMaxEntries * k + i;
            if (number > range.end)
                break;
            const PLUEntry entry = EncodePLUEntry(number, PLURowCells(plu, number), priceDecimals);
            data[PLUPackageLayout::kEntryCount] = quint8(i + 1);
            std::copy(entry.cbegin(), entry.cend(), data.begin() + PLUPackageLayout::kFirstEntry + PLUEntryLayout::kSize * i);
        }
        if (!link.SendPacket(TableCommand::kSendPLUs, quint16(k)))
            return false;
    }
    return true;
}

bool DownloadDeptmentTable(ITransferLink& link, IProgress& progress, const TextTable& departments,
                           quint8 priceDecimals)
{
    constexpr std::size_t kBytes = DeptmentRecordLayout::kSize * kDepartments;
    std::array<quint8, kBytes> records{};
    for (int d = 1; d <= kDepartments; ++d) {
        const DeptmentRecord record = EncodeDeptmentRecord(DeptmentRowCells(departments, d), priceDecimals);
        std::copy(record.cbegin(), record.cend(), records.begin() + DeptmentRecordLayout::kSize * (d - 1));
    }

    constexpr int kPackageBytes = int(ITransferLink::kDataBytes);
    const int packages = DivRoundUp(int(kBytes), kPackageBytes);
    progress.SetMargin(packages);
    for (int k = 0; k < packages; ++k) {
        progress.SetProgress(k + 1);
        if (IsDismissed(progress))
            return false;
        const auto from = records.cbegin() + kPackageBytes * k;
        const auto to = std::min(from + kPackageBytes, records.cend());
        std::copy(from, to, link.PacketData().begin());
        if (!link.SendPacket(TableCommand::kSendDepartments, quint16(k)))
            return false;
    }
    return true;
}
