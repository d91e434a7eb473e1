#include "transfer/TableProcedures.h"

#include "model/Defs.h"
#include "model/TextTable.h"
#include "model/ByteOrder.h"
#include "transfer/Progress.h"
#include "transfer/TableSnapshot.h"
#include "transfer/TransferLink.h"

#include <algorithm>

namespace {

using TableCommand::kDepartmentsPerPackage;
constexpr int kDepartments = TableSnapshot::kDepartments;
constexpr int kDepartmentPackages = (kDepartments + kDepartmentsPerPackage - 1) / kDepartmentsPerPackage;

// Puts the entry of PLU `number` into slot `slot` of a package and counts it.
void PutPLUEntry(std::span<quint8, ITransferLink::kDataBytes> data, int slot, int number, const PLURecord& record)
{
    quint8* entry = data.data() + PLUPackageLayout::kFirstEntry + PLUEntryLayout::kSize * std::size_t(slot);
    ByteOrder::WriteLittle32(entry + PLUEntryLayout::kIndex, quint32(number - 1));
    std::copy(record.cbegin(), record.cend(), entry + PLUEntryLayout::kRecord);
    data[PLUPackageLayout::kEntryCount] = quint8(slot + 1);
}

} // namespace

bool SendPLUEntries(ITransferLink& link, IProgress& progress, const std::vector<int>& numbers,
                    const PLURecordOf& recordOf, int& packages)
{
    using PLUPackageLayout::kMaxEntries;
    const int total = DivRoundUp(int(numbers.size()), kMaxEntries);
    progress.SetMargin(total);
    for (int k = 0; k < total; ++k) {
        progress.SetProgress(k + 1);
        if (IsDismissed(progress))
            return false;
        const auto data = link.PacketData();
        for (int slot = 0; slot < kMaxEntries; ++slot) {
            const std::size_t at = std::size_t(kMaxEntries * k + slot);
            if (at >= numbers.size())
                break;
            PutPLUEntry(data, slot, numbers[at], recordOf(numbers[at]));
        }
        if (!link.SendPacket(TableCommand::kSendPLUs, quint16(k)))
            return false;
        ++packages;
    }
    return true;
}

bool SendDepartmentPackages(ITransferLink& link, IProgress& progress, const std::vector<int>& chosen,
                            const DeptmentRecordOf& recordOf, int& packages)
{
    progress.SetMargin(int(chosen.size()));
    int step = 0;
    for (const int package : chosen) {
        progress.SetProgress(++step);
        if (IsDismissed(progress))
            return false;
        const auto data = link.PacketData();
        const int first = kDepartmentsPerPackage * package + 1;
        const int last = std::min(first + kDepartmentsPerPackage - 1, kDepartments);
        for (int d = first; d <= last; ++d) {
            const DeptmentRecord record = recordOf(d);
            std::copy(record.cbegin(), record.cend(), data.begin() + DeptmentRecordLayout::kSize * std::size_t(d - first));
        }
        if (!link.SendPacket(TableCommand::kSendDepartments, quint16(package)))
            return false;
        ++packages;
    }
    return true;
}

std::vector<int> PLUNumbers(PluRange range)
{
    std::vector<int> numbers;
    if (!range.IsValid())
        return numbers;
    numbers.reserve(std::size_t(range.end - range.begin + 1));
    for (int n = range.begin; n <= range.end; ++n)
        numbers.push_back(n);
    return numbers;
}

std::vector<int> AllDepartmentPackages()
{
    std::vector<int> packages;
    for (int p = 0; p < kDepartmentPackages; ++p)
        packages.push_back(p);
    return packages;
}

bool DownloadPLUTable(ITransferLink& link, IProgress& progress, const TextTable& plu,
                      PluRange range, quint8 priceDecimals, int* lastPlu)
{
    if (!range.IsValid())
        return false;
    int packages = 0;
    const bool sent =
        SendPLUEntries(link, progress, PLUNumbers(range),
                       [&](int number) { return EncodePLURecord(PLURowCells(plu, number), priceDecimals); },
                       packages);
    if (lastPlu != nullptr)
        *lastPlu = packages == 0 ? 0 : std::min(range.begin + packages * PLUPackageLayout::kMaxEntries - 1, range.end);
    return sent;
}

bool DownloadDeptmentTable(ITransferLink& link, IProgress& progress, const TextTable& departments,
                           quint8 priceDecimals)
{
    int packages = 0;
    return SendDepartmentPackages(
        link, progress, AllDepartmentPackages(),
        [&](int number) { return EncodeDeptmentRecord(DeptmentRowCells(departments, number), priceDecimals); },
        packages);
}
