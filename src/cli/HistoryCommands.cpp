#include "cli/HistoryCommands.h"

#include "cli/CliDocument.h"
#include "cli/CliSession.h"
#include "cli/ConsoleText.h"
#include "cli/ExitStatus.h"
#include "cli/FileArguments.h"
#include "cli/InterruptNotifier.h"

#include "files/TableFiles.h"
#include "history/HistoryDevice.h"
#include "history/HistoryStore.h"

#include <cstdio>

namespace {

void PrintLine(const QString& text)
{
    std::fprintf(stdout, "%s\n", ConsoleText::Bytes(text).constData());
}

void PrintEntry(const HistoryEntry& entry)
{
    PrintLine(QStringLiteral("Entry:    %1").arg(entry.id));
    PrintLine(QStringLiteral("Time:     %1").arg(entry.time.toLocalTime().toString(Qt::ISODate)));
    PrintLine(QStringLiteral("Command:  %1").arg(entry.command));
    PrintLine(QStringLiteral("Port:     %1 (%2)").arg(entry.port, entry.device));
    PrintLine(QStringLiteral("Rate:     %1 bit/s").arg(entry.lineRate));
    PrintLine(QStringLiteral("Tables:   %1").arg(entry.TablesText()));
    PrintLine(QStringLiteral("Outcome:  %1").arg(entry.outcome));
    if (!entry.error.isEmpty())
        PrintLine(QStringLiteral("Error:    %1").arg(entry.error));
    if (!entry.contents)
        return;
    const TableSnapshot& contents = *entry.contents;
    PrintLine(QStringLiteral("Contents: %1 PLUs%2, price decimals %3")
                  .arg(contents.plus.size())
                  .arg(contents.departments ? QStringLiteral(", 9 departments") : QString())
                  .arg(contents.priceDecimals));
    for (const auto& [number, record] : contents.plus) {
        const PLUCells cells = DecodePLURecord(record.data(), contents.priceDecimals);
        PrintLine(QStringLiteral("PLU %1\t%2\t%3\t%4\t%5\t%6")
                      .arg(number)
                      .arg(cells.barcode, cells.name, cells.price, cells.department, cells.stocks));
    }
    if (!contents.departments)
        return;
    for (int d = 1; d <= TableSnapshot::kDepartments; ++d) {
        const DeptmentCells cells =
            DecodeDeptmentRecord((*contents.departments)[std::size_t(d - 1)].data(), contents.priceDecimals);
        PrintLine(QStringLiteral("department %1\t%2\t%3\t%4").arg(d).arg(cells.name, cells.tax, cells.price));
    }
}

// What an entry lacks of a whole document (every PLU of its range and the
// departments); empty when it holds both.
QString MissingPart(const HistoryEntry& entry)
{
    const TableSnapshot& contents = *entry.contents;
    QStringList missing;
    if (!contents.HoldsRange(entry.range)) {
        missing << QStringLiteral("%1 of the %2 PLUs %3-%4")
                       .arg(contents.plus.size())
                       .arg(entry.range.end - entry.range.begin + 1)
                       .arg(entry.range.begin)
                       .arg(entry.range.end);
    }
    if (!contents.departments)
        missing << QStringLiteral("no department table");
    return missing.join(QStringLiteral(", "));
}

int ExportEntry(const CliOptions& options, const HistoryEntry& entry)
{
    const TableSnapshot& contents = *entry.contents;
    const QString path = FileArguments::AbsolutePath(options.file);
    CliDocument shop;
    if (const QString refusal = shop.document.Lock(path); !refusal.isEmpty()) {
        ExitStatus::PrintError(QStringLiteral("%1: %2").arg(options.file, refusal));
        return ExitStatus::kFailed;
    }
    const bool exists = FilePath(path).Exists();
    if (exists && !options.force) {
        ExitStatus::PrintError(
            QStringLiteral("%1 exists; give --force to replace its tables by the entry's").arg(options.file));
        return ExitStatus::kFailed;
    }
    // The recycling table is no part of a transfer: the document keeps its own.
    ReadNotes notes;
    if (exists)
        ReadRecyFile(shop.recycling, Document::RcyPath(path), &notes);
    for (const QString& note : notes)
        ExitStatus::PrintError(QStringLiteral("warning: ") + note);
    WriteSnapshot(contents, shop.plu, shop.departments);
    const QString missing = MissingPart(entry);
    if (!missing.isEmpty()) {
        ExitStatus::PrintError(
            QStringLiteral("warning: history entry %1 holds only part of the tables (%2); the document holds "
                           "only what the entry has%3")
                .arg(entry.id)
                .arg(missing, contents.departments ? QString() : QStringLiteral(", and no department file is written")));
    }
    if (InterruptNotifier::Interrupted())
        return ExitStatus::Interrupted(options.file);
    shop.document.SaveDocumentAs(path, contents.departments ? Document::Files::All
                                                            : Document::Files::WithoutDepartments);
    return ExitStatus::kDone;
}

int ListReadings(HistoryStore& store)
{
    const std::vector<SalesReading> readings = store.Readings();
    if (!store.Error().isEmpty()) {
        ExitStatus::PrintError(store.Error());
        return ExitStatus::kFailed;
    }
    for (const SalesReading& reading : readings)
        PrintLine(reading.ListLine());
    if (readings.empty())
        ExitStatus::PrintError(QStringLiteral("The history holds no sales reading."));
    return ExitStatus::kDone;
}

} // namespace

int RunHistory(const CliOptions& options)
{
    CliSession session(options);   // makes --settings the run's settings file
    // Looking at the history never writes it.
    HistoryStore store(HistoryDatabasePath(), HistoryLimits(), HistoryStore::Access::ReadOnly);
    if (!store.Error().isEmpty()) {
        ExitStatus::PrintError(store.Error());
        return ExitStatus::kFailed;
    }
    if (options.historyAction.isEmpty()) {
        const std::vector<HistoryEntry> entries = store.List();
        if (!store.Error().isEmpty()) {
            ExitStatus::PrintError(store.Error());
            return ExitStatus::kFailed;
        }
        for (const HistoryEntry& entry : entries)
            PrintLine(entry.ListLine());
        if (entries.empty())
            ExitStatus::PrintError(QStringLiteral("The transfer history is empty."));
        return ExitStatus::kDone;
    }
    if (options.historyAction == QLatin1String("readings"))
        return ListReadings(store);
    const auto entry = store.Entry(options.historyId);
    if (!entry) {
        ExitStatus::PrintError(store.Error().isEmpty() ? QStringLiteral("no history entry %1").arg(options.historyId)
                                                       : store.Error());
        return ExitStatus::kFailed;
    }
    if (options.historyAction == QLatin1String("show")) {
        PrintEntry(*entry);
        return ExitStatus::kDone;
    }
    if (!entry->contents || entry->contents->IsEmpty()) {
        ExitStatus::PrintError(QStringLiteral("history entry %1 holds no tables").arg(options.historyId));
        return ExitStatus::kFailed;
    }
    return ExportEntry(options, *entry);
}
