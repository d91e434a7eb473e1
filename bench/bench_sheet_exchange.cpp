// Times a spreadsheet exchange of a full PLU table (3000 named rows): export
// to CSV and to XLSX, and import of each (read, every cell judged, applied to
// a table holding the defaults). Prints the best and the median wall time of
// N runs and the best processor time (the work runs on one thread; on a
// loaded machine the wall time also holds the waits for a processor).
#include "BenchTiming.h"

#include "exchange/SheetFiles.h"
#include "exchange/TableImport.h"
#include "model/RecyTable.h"
#include "model/TestData.h"
#include "model/TextTable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

void Import(const QString& path)
{
    const SheetRead read = ReadSheetFile(path);
    TextTable table(TableKind::PLU);
    const ImportPlan plan = PlanImport(table, read.sheet);
    if (!read.Ok() || !plan.Accepted() || plan.changedRows != 3000) {
        std::fprintf(stderr, "import of %s failed\n", qPrintable(path));
        std::exit(1);
    }
    ApplyImport(table, plan);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int runs = 11;
    const QStringList arguments = app.arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--runs"))
        runs = std::max(1, arguments[2].toInt());
    else if (arguments.size() != 1) {
        std::fputs("usage: bench_sheet_exchange [--runs N]   (default 11)\n", stderr);
        return 2;
    }

    TextTable plu(TableKind::PLU), dept(TableKind::Department);
    RecyTable recy;
    FillTestData(plu, dept, recy);
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("plu.csv"));
    const QString xlsx = dir.filePath(QStringLiteral("plu.xlsx"));

    const Timing exportCsv = TimeRuns(runs, [&] { ExportTableFile(plu, csv, {}); });
    const Timing exportXlsx = TimeRuns(runs, [&] { ExportTableFile(plu, xlsx, {}); });
    const Timing importCsv = TimeRuns(runs, [&] { Import(csv); });
    const Timing importXlsx = TimeRuns(runs, [&] { Import(xlsx); });

    std::printf("3000 PLUs, %d runs    best ms   median ms   best CPU ms\n", runs);
    const auto print = [](const char* step, const Timing& t) {
        std::printf("%-18s %9.1f   %9.1f   %11.1f\n", step, t.best, t.median, t.bestCpu);
    };
    print("export CSV", exportCsv);
    print("export XLSX", exportXlsx);
    print("import CSV", importCsv);
    print("import XLSX", importXlsx);
    return 0;
}
