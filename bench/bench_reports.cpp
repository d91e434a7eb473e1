// Sales reports over a year of readings: how long storing a reading adds to
// an upload's history entry, and how long a report over 365 daily readings
// of 3000 articles takes to open (reading the history, the period, a view).

#include "history/HistoryStore.h"
#include "model/Columns.h"
#include "model/TextTable.h"
#include "reports/SalesPeriod.h"
#include "reports/SalesReport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int kDays = 365;
constexpr int kArticles = 3000;
constexpr int kClearEvery = 30;   // a report clear once a month
constexpr int kRuns = 5;

HistoryEntry Entry(const QDateTime& time)
{
    HistoryEntry entry;
    entry.time = time;
    entry.command = QStringLiteral("upload");
    entry.port = QStringLiteral("COM1");
    entry.device = QStringLiteral("/dev/ttyUSB0");
    entry.tables = TableBit(TransferTable::PLU);
    entry.outcome = QStringLiteral("done");
    return entry;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Milliseconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    HistoryStore store(dir.filePath(QStringLiteral("HISTORY.DB")));
    if (!store.IsOpen()) {
        std::fprintf(stderr, "%s\n", qPrintable(store.Error()));
        return 1;
    }

    // A year of daily uploads: every article sells a little each day.
    const QDateTime first = QDateTime::currentDateTimeUtc().addDays(-kDays);
    std::vector<ArticleFigures> figures(kArticles);
    std::vector<double> withReading;
    std::vector<double> withoutReading;
    for (int day = 0; day < kDays; ++day) {
        for (int n = 0; n < kArticles; ++n) {
            ArticleFigures& f = figures[std::size_t(n)];
            if (day % kClearEvery == 0)
                f = {n + 1, 0, 0};
            f.plu = n + 1;
            f.quantity += 1000 * ((n + day) % 4);
            f.total += 125 * ((n + day) % 4);
        }
        HistoryEntry entry = Entry(first.addDays(day));
        SalesReading reading;
        reading.priceDecimals = 2;
        reading.figures = figures;
        entry.reading = reading;
        QElapsedTimer timer;
        timer.start();
        store.Record(entry);
        withReading.push_back(Milliseconds(timer));
        // The same upload's entry without its reading, for the difference.
        timer.restart();
        store.Record(Entry(first.addDays(day)));
        withoutReading.push_back(Milliseconds(timer));
    }

    TextTable plu(TableKind::PLU);
    TextTable departments(TableKind::Department);
    for (int row = 1; row <= kArticles; ++row) {
        plu.SetCell(PLUColumn::Name, row, QStringLiteral("Article %1").arg(row));
        plu.SetCell(PLUColumn::Department, row, QString::number(row % 9 + 1));
    }
    for (int d = 1; d <= 9; ++d)
        departments.SetCell(DeptmentColumn::Name, d, QStringLiteral("Department %1").arg(d));

    std::vector<double> opens;
    std::vector<double> loads;
    std::vector<double> cpu;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpuStart = std::clock();
        const PeriodChoice choice = LoadPeriod(store, QString(), {});
        loads.push_back(Milliseconds(timer));
        if (!choice.period) {
            std::fprintf(stderr, "%s\n", qPrintable(choice.error));
            return 1;
        }
        const SalesReport report = BuildSalesReport(SalesView::Departments, FiguresOfPeriod(*choice.period),
                                                    {plu, departments}, Decimal());
        opens.push_back(Milliseconds(timer));
        cpu.push_back(double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC);
        if (run == 0)
            std::printf("period: %d readings, %zu articles sold, %zu days, %lld notes\n", choice.period->readings,
                        choice.period->sales.size(), choice.period->dailyTurnover.size(),
                        qlonglong(report.description.size()));
    }
    std::printf("%-44s %10s %10s\n", "operation", "median ms", "max ms");
    std::printf("%-44s %10.1f %10.1f\n", "history entry of an upload, with its reading", Median(withReading),
                *std::max_element(withReading.begin(), withReading.end()));
    std::printf("%-44s %10.1f %10.1f\n", "history entry of an upload, no reading", Median(withoutReading),
                *std::max_element(withoutReading.begin(), withoutReading.end()));
    std::printf("%-44s %10.1f\n", "added by the reading (median difference)",
                Median(withReading) - Median(withoutReading));
    std::printf("%-44s %10.1f %10.1f\n", "report: read 365 readings, period", Median(loads),
                *std::max_element(loads.begin(), loads.end()));
    std::printf("%-44s %10.1f %10.1f\n", "report opens (period + departments view)", Median(opens),
                *std::max_element(opens.begin(), opens.end()));
    std::printf("%-44s %10.1f %10.1f\n", "report opens, CPU time of the process", Median(cpu),
                *std::max_element(cpu.begin(), cpu.end()));
    return 0;
}
