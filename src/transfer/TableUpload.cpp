#include "transfer/TableProcedures.h"

#include "model/Defs.h"
#include "model/TextTable.h"
#include "transfer/Progress.h"
#include "transfer/Records.h"
#include "transfer/TableSnapshot.h"
#include "transfer/TransferLink.h"

#include <QHash>

#include <algorithm>
#include <map>

namespace {

constexpr quint8 kRequestPLUs = 11;
constexpr quint8 kRequestTotals = 8;
constexpr quint8 kRequestDepartments = 10;
constexpr int kPLUsPerGroup = 4;
constexpr int kDeptmentsPerReply = 8;
constexpr int kDepartments = 9;
constexpr int kDeptmentReplies = 2;

bool UploadRecords(ITransferLink& link, IProgress& progress, TextTable& plu, PluRange range,
                   quint8 priceDecimals, int* lastPlu)
{
    const int first = (range.begin - 1) / kPLUsPerGroup;
    const int last = (range.end - 1) / kPLUsPerGroup;
    progress.SetMargin(last - first + 1);
    TextTable::Batch batch(plu);
    for (int g = first; g <= last; ++g) {
        progress.SetProgress(g - first + 1);
        if (IsDismissed(progress))
            return false;
        if (!link.RequestPacket(kRequestPLUs, quint16(g)))
            return false;
        const auto data = link.PacketData();
        for (int i = 0; i < kPLUsPerGroup; ++i) {
            const int number = kPLUsPerGroup * g + i + 1;
            if (number < range.begin || number > range.end)
                continue;
            PutPLURowCells(plu, number, DecodePLURecord(data.data() + PLURecordLayout::kSize * i, priceDecimals));
        }
        if (lastPlu != nullptr)
            *lastPlu = std::min(kPLUsPerGroup * (g + 1), range.end);
    }
    return true;
}

// Collects the totals records as they arrive across package borders and keeps,
// per row, the figures of the last record that matched it.
class TotalsMatcher
{
public:
    TotalsMatcher(const TextTable& plu, PluRange range, qint64 records, quint8 priceDecimals)
        : remaining_(records), priceDecimals_(priceDecimals)
    {
        // The first row of the range with a barcode text receives its totals.
        for (int row = range.begin; row <= range.end; ++row) {
            const QString barcode = plu.Cell(PLUColumn::Barcode, row);
            if (!rowOfBarcode_.contains(barcode))
                rowOfBarcode_.insert(barcode, row);
        }
    }

    void Feed(std::span<const quint8> bytes)
    {
        for (const quint8 byte : bytes) {
            if (remaining_ == 0)
                return;
            record_[filled_++] = byte;
            if (filled_ == record_.size()) {
                Take(DecodePLUTotalsRecord(record_.data(), priceDecimals_));
                filled_ = 0;
                --remaining_;
            }
        }
    }

    void WriteInto(TextTable& plu) const
    {
        TextTable::Batch batch(plu);
        for (const auto& [row, totals] : matched_) {
            plu.SetCell(PLUColumn::Quantity, row, totals.quantity);
            plu.SetCell(PLUColumn::Total, row, totals.total);
        }
    }

private:
    void Take(const PLUTotals& totals)
    {
        if (totals.barcode == 0)
            return;
        const auto found = rowOfBarcode_.constFind(QString::number(totals.barcode));
        if (found != rowOfBarcode_.cend())
            matched_[found.value()] = totals;
    }

    qint64 remaining_;
    const quint8 priceDecimals_;
    std::array<quint8, PLUTotalsRecordLayout::kSize> record_{};
    std::size_t filled_ = 0;
    QHash<QString, int> rowOfBarcode_;
    std::map<int, PLUTotals> matched_;
};

bool UploadTotals(ITransferLink& link, IProgress& progress, TextTable& plu, PluRange range,
                  const RegisterStatus& status)
{
    const TotalsPlan plan = PlanTotals(status.PLUTotalsCount);
    progress.SetMargin(int(plan.packages));
    TotalsMatcher matcher(plu, range, plan.records, status.PriceDecimals);
    for (qint64 q = 0; q < plan.packages; ++q) {
        progress.SetProgress(int(q + 1));
        if (IsDismissed(progress))
            return false;
        if (!link.RequestPacket(kRequestTotals, quint16(q)))
            return false;
        matcher.Feed(link.PacketData());
    }
    matcher.WriteInto(plu);
    return true;
}

} // namespace

TotalsPlan PlanTotals(qint32 reportedCount)
{
    constexpr qint64 kPackageBytes = qint64(ITransferLink::kDataBytes);
    constexpr qint64 kRecordBytes = qint64(PLUTotalsRecordLayout::kSize);
    TotalsPlan plan;
    if (reportedCount <= 0)
        return plan;
    // 64-bit arithmetic: 2^31 records of 17 bytes cannot overflow here.
    const qint64 bytes = qint64(reportedCount) * kRecordBytes;
    plan.packages = std::min((bytes + kPackageBytes - 1) / kPackageBytes, TotalsPlan::kMaxPackages);
    plan.records = std::min(qint64(reportedCount), plan.packages * kPackageBytes / kRecordBytes);
    return plan;
}

bool UploadPLUTable(ITransferLink& link, IProgress& progress, TextTable& plu, PluRange range,
                    const RegisterStatus& status, int* lastPlu)
{
    if (!range.IsValid())
        return false;
    return UploadRecords(link, progress, plu, range, status.PriceDecimals, lastPlu)
           && UploadTotals(link, progress, plu, range, status);
}

bool UploadDeptmentTable(ITransferLink& link, IProgress& progress, TextTable& departments,
                         quint8 priceDecimals)
{
    TextTable::Batch batch(departments);
    for (int p = 0; p < kDeptmentReplies; ++p) {
        if (IsDismissed(progress))
            return false;
        if (!link.RequestPacket(kRequestDepartments, quint16(p)))
            return false;
        const auto data = link.PacketData();
        for (int i = 0; i < kDeptmentsPerReply; ++i) {
            const int number = kDeptmentsPerReply * p + i + 1;
            if (number <= kDepartments)
                PutDeptmentRowCells(departments, number,
                               DecodeDeptmentRecord(data.data() + DeptmentRecordLayout::kSize * i, priceDecimals));
        }
    }
    return true;
}
