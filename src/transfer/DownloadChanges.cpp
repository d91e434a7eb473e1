#include "transfer/DownloadChanges.h"

#include "model/CountWords.h"
#include "model/Language.h"
#include "model/Numbers.h"

#include "model/Defs.h"
#include "model/Texts.h"
#include "transfer/Para.h"
#include "model/ByteOrder.h"
#include "transfer/DownloadCheck.h"
#include "transfer/Progress.h"
#include "transfer/TableProcedures.h"
#include "transfer/TransferDriver.h"
#include "transfer/TransferLink.h"

#include <algorithm>
#include <bit>

namespace {

using TableCommand::kDepartmentsPerPackage;
constexpr unsigned kChangeTables = TableBit(TransferTable::PLU) | TableBit(TransferTable::Department);
// A PLU read (command 11) answers four records.
constexpr int kPLUsPerGroup = 4;
// The PLU groups read back before changes are sent: about 0.4 s at 115200 bit/s.
constexpr std::size_t kSampleGroups = 8;
// Of these, the ones spread over the groups holding named PLUs or barcodes,
// where two registers differ most; the rest are spread over the whole range.
constexpr std::size_t kOccupiedSampleGroups = 4;

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

std::vector<int> PackagesHolding(const std::vector<int>& departments)
{
    std::vector<int> packages;
    for (const int number : departments) {
        const int package = (number - 1) / kDepartmentsPerPackage;
        if (std::find(packages.cbegin(), packages.cend(), package) == packages.cend())
            packages.push_back(package);
    }
    return packages;
}

// "PLU table", "PLU and department tables".
QString TablesText(unsigned tables)
{
    QStringList names;
    for (const TransferTable table : {TransferTable::PLU, TransferTable::Department}) {
        if ((tables & TableBit(table)) != 0)
            names << Texts().DownloadItemTips[std::size_t(table)];
    }
    if (names.isEmpty())
        return QString();
    if (names.size() == 1)
        return Tr("DownloadChanges", "TableOne", "%1 table").arg(names.first());
    return Tr("DownloadChanges", "Tables", "%1 and %2 tables").arg(names.first(), names.last());
}

// "20 PLUs in 7 packages".
QString SentText(const QString& records, int packages)
{
    return Tr("DownloadChanges", "SentIn", "%1 in %2")
        .arg(records, CountWords("DownloadChanges", "Packages", std::size_t(std::max(packages, 0)), "1 package",
                                 "%1 packages"));
}

// Up to `count` of `groups`, spread evenly from the first to the last.
std::vector<int> Spread(const std::vector<int>& groups, std::size_t count)
{
    if (groups.size() <= count || count < 2)
        return std::vector<int>(groups.cbegin(), groups.cbegin() + std::ptrdiff_t(std::min(count, groups.size())));
    std::vector<int> picked;
    for (std::size_t i = 0; i < count; ++i)
        picked.push_back(groups[i * (groups.size() - 1) / (count - 1)]);
    return picked;
}

bool Occupied(const PLURecord& record)
{
    using namespace PLURecordLayout;
    const auto nonZero = [&](std::size_t from, std::size_t bytes) {
        return std::any_of(record.cbegin() + std::ptrdiff_t(from), record.cbegin() + std::ptrdiff_t(from + bytes),
                           [](quint8 byte) { return byte != 0; });
    };
    return nonZero(kBarcode, kBarcodeBytes) || nonZero(kName, kNameBytes);
}

// The PLU groups of the range to read back, in ascending order.
std::vector<int> SampleGroups(const TableSnapshot& known, PluRange range)
{
    std::vector<int> all;
    std::vector<int> occupied;
    for (int g = (range.begin - 1) / kPLUsPerGroup; g <= (range.end - 1) / kPLUsPerGroup; ++g) {
        all.push_back(g);
        for (int n = std::max(range.begin, kPLUsPerGroup * g + 1); n <= std::min(range.end, kPLUsPerGroup * g + kPLUsPerGroup); ++n) {
            if (Occupied(known.plus.at(n))) {
                occupied.push_back(g);
                break;
            }
        }
    }
    std::vector<int> picked = Spread(occupied, kOccupiedSampleGroups);
    for (const int g : Spread(all, kSampleGroups)) {
        if (picked.size() >= kSampleGroups)
            break;
        if (std::find(picked.cbegin(), picked.cend(), g) == picked.cend())
            picked.push_back(g);
    }
    std::sort(picked.begin(), picked.end());
    return picked;
}

template <typename Record>
Record RecordAt(std::span<const quint8> data, std::size_t slot)
{
    Record record{};
    std::copy_n(data.begin() + std::ptrdiff_t(record.size() * slot), record.size(), record.begin());
    return record;
}

// Reads back the sample of what the register holds of the chosen tables whose
// state is known. False when a read failed (or the operator cancelled);
// otherwise `differs` names the first record that is not as known ("PLU 57",
// "department 3"), or stays empty.
bool ReadBackSample(ITransferLink& link, IProgress& progress, const TransferRequest& request,
                    const TableSnapshot& known, quint8 priceDecimals, QString& differs)
{
    const bool plus = request.Includes(TransferTable::PLU)
                      && KnownFor(known, priceDecimals, TransferTable::PLU, request.range);
    const bool departments = request.Includes(TransferTable::Department)
                             && KnownFor(known, priceDecimals, TransferTable::Department, request.range);
    const std::vector<int> groups = plus ? SampleGroups(known, request.range) : std::vector<int>{};
    const std::vector<int> packages = departments ? AllDepartmentPackages() : std::vector<int>{};
    progress.SetMargin(int(groups.size() + packages.size()));
    int step = 0;
    const auto read = [&](quint8 command, int parameter) {
        progress.SetProgress(++step);
        return !IsDismissed(progress) && link.RequestPacket(command, quint16(parameter));
    };
    for (const int g : groups) {
        if (!read(TableCommand::kReadPLUs, g))
            return false;
        for (int slot = 0; slot < kPLUsPerGroup; ++slot) {
            const int number = kPLUsPerGroup * g + slot + 1;
            if (number < request.range.begin || number > request.range.end)
                continue;
            const auto held = RecordAt<PLURecord>(link.PacketData(), std::size_t(slot));
            if (DownloadImage(held) != DownloadImage(known.plus.at(number))) {
                differs = Tr("DownloadChanges", "DifferingPLU", "PLU %1").arg(number);
                return true;
            }
        }
    }
    for (const int p : packages) {
        if (!read(TableCommand::kReadDepartments, p))
            return false;
        for (int slot = 0; slot < kDepartmentsPerPackage; ++slot) {
            const int number = kDepartmentsPerPackage * p + slot + 1;
            if (number > TableSnapshot::kDepartments)
                break;
            const auto held = RecordAt<DeptmentRecord>(link.PacketData(), std::size_t(slot));
            if (DownloadImage(held) != DownloadImage((*known.departments)[std::size_t(number - 1)])) {
                differs = Tr("DownloadChanges", "DifferingDepartment", "department %1").arg(number);
                return true;
            }
        }
    }
    return true;
}

} // namespace

QString UnknownStateNotice(unsigned tables, const QString& port)
{
    const QString names = TablesText(tables);
    if (names.isEmpty())
        return QString();
    return Tr("DownloadChanges", "UnknownState", "Nothing is known yet of the %1 on the register at %2: sent in full.").arg(names, port);
}

QString KeyboardChangesNotice()
{
    return Tr("DownloadChanges", "KeyboardChanges",
              "Only what changed since the register was last seen on this port is sent. Changes made at the "
              "register's own keyboard since then are not seen: a compare or a verify after the download finds "
              "them.");
}

QString StaleStateNotice(const ChangesReport& report, const TransferRequest& request)
{
    if (report.differingRecord.isEmpty())
        return QString();
    const unsigned tables = request.selection & kChangeTables;
    const QString stale =
        std::popcount(tables) == 1
            ? Tr("DownloadChanges", "StaleStateOne",
                 "The register at %1 does not hold what was last seen there (%2 differs): the %3 was sent in full.")
            : Tr("DownloadChanges", "StaleState",
                 "The register at %1 does not hold what was last seen there (%2 differs): the %3 were sent in full.");
    return stale.arg(request.port, report.differingRecord, TablesText(tables));
}

QString ChangesSummary(const ChangesReport& report, const TransferRequest& request)
{
    QStringList parts;
    if (request.Includes(TransferTable::PLU) && (report.fullTables & TableBit(TransferTable::PLU)) == 0)
        parts << SentText(CountWords("DownloadChanges", "PLUs", report.sentPLUs.size(), "1 PLU", "%1 PLUs"),
                          report.pluPackages);
    if (request.Includes(TransferTable::Department) && (report.fullTables & TableBit(TransferTable::Department)) == 0)
        parts << SentText(CountWords("DownloadChanges", "Departments", report.sentDepartments.size(), "1 department",
                                     "%1 departments"),
                          report.departmentPackages);
    QStringList sentences;
    if (const QString stale = StaleStateNotice(report, request); !stale.isEmpty())
        sentences << stale;
    if (!parts.isEmpty())
        sentences << Tr("DownloadChanges", "Summary", "Download changes: %1.").arg(parts.join(QStringLiteral(", ")));
    return sentences.join(QLatin1Char(' '));
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

TransferResult DownloadChanges(ITransferLink& link, IProgress& progress, const TransferRequest& request,
                               const TransferTables& tables, const TableSnapshot& known, ChangesReport& report)
{
    // The same check as every download: no invalid cell leaves the PC.
    if (auto refused = DownloadCheck::RefusedResult(request, tables))
        return *refused;
    bool sampled = false;
    const auto moveTable = [&](TransferTable table, const RegisterStatus& status) {
        const quint8 decimals = status.PriceDecimals;
        if (table == TransferTable::Parameter)
            return DownloadParameters(link, progress, tables.settingsPath);
        // Before the first table goes out: a register swapped on the port, or
        // a history restored from a backup, would otherwise get only the
        // changes against contents it does not hold.
        if (!sampled) {
            sampled = true;
            if (!ReadBackSample(link, progress, request, known, decimals, report.differingRecord))
                return false;
            if (!report.differingRecord.isEmpty())
                report.fullTables |= request.selection & kChangeTables;
        }
        if (!KnownFor(known, decimals, table, request.range))
            report.fullTables |= TableBit(table);
        if ((report.fullTables & TableBit(table)) != 0)
            return table == TransferTable::PLU
                       ? DownloadPLUTable(link, progress, tables.plu, request.range, decimals)
                       : DownloadDeptmentTable(link, progress, tables.departments, decimals);
        const TableSnapshot document =
            SnapshotOfDocument(tables.plu, tables.departments, TableBit(table), request.range, decimals);
        if (table == TransferTable::PLU) {
            report.sentPLUs = ChangedPLUs(document, known);
            return SendPLUEntries(link, progress, report.sentPLUs,
                                  [&document](int number) { return document.plus.at(number); }, report.pluPackages);
        }
        report.sentDepartments = ChangedDepartments(document, known);
        return SendDepartmentPackages(
            link, progress, PackagesHolding(report.sentDepartments),
            [&document](int number) { return (*document.departments)[std::size_t(number - 1)]; },
            report.departmentPackages);
    };
    const auto checkStatus = [&](const RegisterStatus& status) {
        return DownloadCheck::RefusedResult(request, tables, status.PriceDecimals);
    };
    return TransferDriver::Run(link, progress, request, TransferDriver::Direction::Download, moveTable,
                               checkStatus);
}
