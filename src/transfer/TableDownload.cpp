#include "transfer/TableProcedures.h"

#include "model/Defs.h"
#include "model/TextTable.h"
#include "transfer/Progress.h"
#include "transfer/Records.h"
#include "transfer/TransferLink.h"

#include <algorithm>

namespace {

constexpr quint8 kSendPLUs = 13;
constexpr quint8 kSendDepartments = 12;
constexpr int kEntriesPerPackage = 3;
constexpr std::size_t kEntryCountByte = 0;
constexpr std::size_t kFirstEntry = 1;
constexpr int kDepartments = 9;

bool Cancelled(const IProgress& progress)
{
    return progress.ProgressState() == IProgress::State::Dismissed;
}

PLUCells PLURow(const TextTable& plu, int row)
{
    PLUCells cells;
    cells.barcode = plu.Cell(PLUColumn::Barcode, row);
    cells.name = plu.Cell(PLUColumn::Name, row);
    cells.price = plu.Cell(PLUColumn::UnitPrice, row);
    cells.department = plu.Cell(PLUColumn::Department, row);
    cells.stocks = plu.Cell(PLUColumn::Stocks, row);
    return cells;
}

DeptmentCells DeptmentRow(const TextTable& departments, int row)
{
    DeptmentCells cells;
    cells.name = departments.Cell(DeptmentColumn::Name, row);
    cells.tax = departments.Cell(DeptmentColumn::Tax, row);
    cells.price = departments.Cell(DeptmentColumn::UnitPrice, row);
    return cells;
}

} // namespace

bool DownloadPLUTable(ITransferLink& link, IProgress& progress, const TextTable& plu,
                      PluRange range, quint8 priceDecimals)
{
    if (!range.IsValid())
        return false;
    const int packages = DivRoundUp(range.end - range.begin + 1, kEntriesPerPackage);
    progress.SetMargin(packages);
    for (int k = 0; k < packages; ++k) {
        progress.SetProgress(k + 1);
        if (Cancelled(progress))
            return false;
        const auto data = link.PacketData();
        for (int i = 0; i < kEntriesPerPackage; ++i) {
            const int number = range.begin + kEntriesPerPackage * k + i;
            if (number > range.end)
                break;
            const PLUEntry entry = EncodePLUEntry(number, PLURow(plu, number), priceDecimals);
            data[kEntryCountByte] = quint8(i + 1);
            std::copy(entry.cbegin(), entry.cend(), data.begin() + kFirstEntry + PLUEntryLayout::kSize * i);
        }
        if (!link.SendPacket(kSendPLUs, quint16(k)))
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
        const DeptmentRecord record = EncodeDeptmentRecord(DeptmentRow(departments, d), priceDecimals);
        std::copy(record.cbegin(), record.cend(), records.begin() + DeptmentRecordLayout::kSize * (d - 1));
    }

    constexpr int kPackageBytes = int(ITransferLink::kDataBytes);
    const int packages = DivRoundUp(int(kBytes), kPackageBytes);
    progress.SetMargin(packages);
    for (int k = 0; k < packages; ++k) {
        progress.SetProgress(k + 1);
        if (Cancelled(progress))
            return false;
        const auto from = records.cbegin() + kPackageBytes * k;
        const auto to = std::min(from + kPackageBytes, records.cend());
        std::copy(from, to, link.PacketData().begin());
        if (!link.SendPacket(kSendDepartments, quint16(k)))
            return false;
    }
    return true;
}
