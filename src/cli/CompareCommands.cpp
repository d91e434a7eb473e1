#include "cli/CompareCommands.h"

#include "cli/CliDocument.h"
#include "cli/CliSession.h"
#include "cli/ConsoleText.h"
#include "cli/ExitStatus.h"

#include "history/TransferHistory.h"

#include <QFileInfo>

#include <cstdio>

namespace {

void PrintLine(std::FILE* to, const QString& text)
{
    std::fprintf(to, "%s\n", ConsoleText::Bytes(text).constData());
    std::fflush(to);
}

void PrintEntry(const HistoryEntry& entry)
{
    PrintLine(stdout, QStringLiteral("Entry:    %1").arg(entry.id));
    PrintLine(stdout, QStringLiteral("Time:     %1").arg(entry.time.toLocalTime().toString(Qt::ISODate)));
    PrintLine(stdout, QStringLiteral("Command:  %1").arg(entry.command));
    PrintLine(stdout, QStringLiteral("Port:     %1 (%2)").arg(entry.port, entry.device));
    PrintLine(stdout, QStringLiteral("Rate:     %1 bit/s").arg(entry.lineRate));
    PrintLine(stdout, QStringLiteral("Tables:   %1").arg(entry.TablesText()));
    PrintLine(stdout, QStringLiteral("Outcome:  %1").arg(entry.outcome));
    if (!entry.error.isEmpty())
        PrintLine(stdout, QStringLiteral("Error:    %1").arg(entry.error));
    if (!entry.contents)
        return;
    const TableSnapshot& contents = *entry.contents;
    PrintLine(stdout, QStringLiteral("Contents: %1 PLUs%2, price decimals %3")
                          .arg(contents.plus.size())
                          .arg(contents.departments ? QStringLiteral(", 9 departments") : QString())
                          .arg(contents.priceDecimals));
    for (const auto& [number, record] : contents.plus) {
        const PLUCells cells = DecodePLURecord(record.data(), contents.priceDecimals);
        PrintLine(stdout, QStringLiteral("PLU %1\t%2\t%3\t%4\t%5\t%6")
                              .arg(number)
                              .arg(cells.barcode, cells.name, cells.price, cells.department, cells.stocks));
    }
    if (!contents.departments)
        return;
    for (int d = 1; d <= TableSnapshot::kDepartments; ++d) {
        const DeptmentCells cells =
            DecodeDeptmentRecord((*contents.departments)[std::size_t(d - 1)].data(), contents.priceDecimals);
        PrintLine(stdout, QStringLiteral("department %1\t%2\t%3\t%4").arg(d).arg(cells.name, cells.tax, cells.price));
    }
}

} // namespace

int RunHistory(const CliOptions& options)
{
    CliSession session(options);   // makes --settings the run's settings file
    TransferHistory history;
    if (!history.Store().IsOpen()) {
        ExitStatus::PrintError(history.TakeWarning());
        return ExitStatus::kFailed;
    }
    if (options.historyAction.isEmpty()) {
        for (const HistoryEntry& entry : history.Store().List())
            PrintLine(stdout, entry.ListLine());
        return ExitStatus::kDone;
    }
    const auto entry = history.Store().Entry(options.historyId);
    if (!entry) {
        ExitStatus::PrintError(history.Store().Error().isEmpty()
                                   ? QStringLiteral("no history entry %1").arg(options.historyId)
                                   : history.Store().Error());
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
    CliDocument shop;
    shop.document.ClearDocument();
    WriteSnapshot(*entry->contents, shop.plu, shop.departments);
    shop.document.SaveDocumentAs(QFileInfo(options.file).absoluteFilePath());
    return ExitStatus::kDone;
}
