#include "transfer/DownloadChanges.h"

#include "model/Defs.h"
#include "model/Texts.h"
#include "settings/Para.h"
#include "transfer/ByteOrder.h"
#include "transfer/DownloadCheck.h"
#include "transfer/Progress.h"
#include "transfer/TableProcedures.h"
#include "transfer/TransferDriver.h"
#include "transfer/TransferLink.h"

#include <algorithm>

namespace {

using namespace PLUPackageLayout;
using TableCommand::kDepartmentsPerPackage;

bool KnownFor(const TableSnapshot& known, quint8 priceDecimals, TransferTable table, PluRange range)
{
    if (known.priceDecimals != priceDecimals)
        return false;
    return table == TransferTable::PLU ? known.HoldsRange(range) : known.departments.has_value();
}

std::vector<int> ChangedPLUs(const TableSnapshot& document, const TableSnapshot& known)
{
    std::vector<int> changed;
    for (const auto& [number, record] : document.plus) {
        const auto held = known.plus.find(number);
        if (held == known.plus.cend() || DownloadImage(held->second) != DownloadImage(record))
            changed.push_back(number);
    }
    return changed;
}

std::vector<int> ChangedDepartments(const TableSnapshot& document, const TableSnapshot& known)
{
    std::vector<int> changed;
    for (int d = 1; d <= TableSnapshot::kDepartments; ++d) {
        const auto i = std::size_t(d - 1);
        if (DownloadImage((*document.departments)[i]) != DownloadImage((*known.departments)[i]))
            changed.push_back(d);
    }
    return changed;
}

QString Count(std::size_t count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace

QString UnknownStateNotice(unsigned tables, const QString& port)
{
    QStringList names;
    for (const TransferTable table : {TransferTable::PLU, TransferTable::Department}) {
        if ((tables & TableBit(table)) != 0)
            names << Texts().DownloadItemTips[std::size_t(table)];
    }
    if (names.isEmpty())
        return QString();
    return QStringLiteral("Nothing is known yet of the %1 %2 on the register at %3: sent in full.")
        .arg(names.join(QStringLiteral(" and ")), names.size() == 1 ? QStringLiteral("table") : QStringLiteral("tables"),
             port);
}

QString KeyboardChangesNotice()
{
    return QStringLiteral("Only what changed since the register was last seen on this port is sent. Changes made "
                          "at the register's own keyboard since then are not seen: a compare or a verify after "
                          "the download finds them.");
}

QString ChangesSummary(const ChangesReport& report, const TransferRequest& request)
{
    QStringList parts;
    if (request.Includes(TransferTable::PLU) && (report.fullTables & TableBit(TransferTable::PLU)) == 0)
        parts << QStringLiteral("%1 in %2").arg(Count(report.sentPLUs.size(), "PLU", "PLUs"),
                                                Count(std::size_t(report.pluPackages), "package", "packages"));
    if (request.Includes(TransferTable::Department) && (report.fullTables & TableBit(TransferTable::Department)) == 0)
        parts << QStringLiteral("%1 in %2").arg(Count(report.sentDepartments.size(), "department", "departments"),
                                                Count(std::size_t(report.departmentPackages), "package", "packages"));
    if (parts.isEmpty())
        return QString();
    return QStringLiteral("Download changes: %1.").arg(parts.join(QStringLiteral(", ")));
}

unsigned TablesWithoutKnownState(const TableSnapshot& known, const TransferRequest& request)
{
    unsigned missing = 0;
    if (request.Includes(TransferTable::PLU) && !known.HoldsRange(request.range))
        missing |= TableBit(TransferTable::PLU);
    if (request.Includes(TransferTable::Department) && !known.departments)
        missing |= TableBit(TransferTable::Department);
    return missing;
}

bool DownloadPLUEntries(ITransferLink& link, IProgress& progress, const TableSnapshot& document,
                        const std::vector<int>& numbers, int& packages)
{
    const int total = DivRoundUp(int(numbers.size()), kMaxEntries);
    progress.SetMargin(total);
    for (int k = 0; k < total; ++k) {
        progress.SetProgress(k + 1);
        if (IsDismissed(progress))
            return false;
        const auto data = link.PacketData();
        for (int i = 0; i < kMaxEntries; ++i) {
            const std::size_t at = std::size_t(kMaxEntries * k + i);
            if (at >= numbers.size())
                break;
            const int number = numbers[at];
            quint8* entry = data.data() + kFirstEntry + PLUEntryLayout::kSize * std::size_t(i);
            std::fill_n(entry, PLUEntryLayout::kSize, quint8(0));
            ByteOrder::WriteLittle32(entry + PLUEntryLayout::kIndex, quint32(number - 1));
            const PLURecord& record = document.plus.at(number);
            std::copy(record.cbegin(), record.cend(), entry + PLUEntryLayout::kRecord);
            data[kEntryCount] = quint8(i + 1);
        }
        if (!link.SendPacket(TableCommand::kSendPLUs, quint16(k)))
            return false;
        ++packages;
    }
    return true;
}

bool DownloadDepartmentPackages(ITransferLink& link, IProgress& progress, const TableSnapshot& document,
                                const std::vector<int>& numbers, int& packages)
{
    std::vector<int> chosen;
    for (const int number : numbers) {
        const int package = (number - 1) / kDepartmentsPerPackage;
        if (std::find(chosen.cbegin(), chosen.cend(), package) == chosen.cend())
            chosen.push_back(package);
    }
    progress.SetMargin(int(chosen.size()));
    int step = 0;
    for (const int package : chosen) {
        progress.SetProgress(++step);
        if (IsDismissed(progress))
            return false;
        const auto data = link.PacketData();
        const int first = kDepartmentsPerPackage * package + 1;
        const int last = std::min(first + kDepartmentsPerPackage - 1, TableSnapshot::kDepartments);
        for (int d = first; d <= last; ++d) {
            const DeptmentRecord& record = (*document.departments)[std::size_t(d - 1)];
            std::copy(record.cbegin(), record.cend(),
                      data.begin() + DeptmentRecordLayout::kSize * std::size_t(d - first));
        }
        if (!link.SendPacket(TableCommand::kSendDepartments, quint16(package)))
            return false;
        ++packages;
    }
    return true;
}

TransferResult DownloadChanges(ITransferLink& link, IProgress& progress, const TransferRequest& request,
                               const TransferTables& tables, const TableSnapshot& known, ChangesReport& report)
{
    // The same check as every download: no invalid cell leaves the PC.
    if (auto refused = DownloadCheck::RefusedResult(request, tables))
        return *refused;
    const auto moveTable = [&](TransferTable table, const RegisterStatus& status) {
        const quint8 decimals = status.PriceDecimals;
        if (table == TransferTable::Parameter)
            return DownloadParameters(link, progress, tables.settingsPath);
        if (!KnownFor(known, decimals, table, request.range)) {
            report.fullTables |= TableBit(table);
            return table == TransferTable::PLU
                       ? DownloadPLUTable(link, progress, tables.plu, request.range, decimals)
                       : DownloadDeptmentTable(link, progress, tables.departments, decimals);
        }
        const TableSnapshot document =
            SnapshotOfDocument(tables.plu, tables.departments, TableBit(table), request.range, decimals);
        if (table == TransferTable::PLU) {
            report.sentPLUs = ChangedPLUs(document, known);
            return DownloadPLUEntries(link, progress, document, report.sentPLUs, report.pluPackages);
        }
        report.sentDepartments = ChangedDepartments(document, known);
        return DownloadDepartmentPackages(link, progress, document, report.sentDepartments,
                                          report.departmentPackages);
    };
    const auto checkStatus = [&](const RegisterStatus& status) {
        return DownloadCheck::RefusedResult(request, tables, status.PriceDecimals);
    };
    return TransferDriver::Run(link, progress, request, TransferDriver::Direction::Download, moveTable,
                               checkStatus);
}
