// Times the editing operations that touch a whole table: undoing and redoing
// one step that replaced all 3000 PLU rows, and finding over 3000 rows (the
// search alone, and the find bar with its row filter on shown grids).
//
//   bench_editing_gui [--runs N]
#include "app/FindBar.h"
#include "editing/DocumentHistory.h"
#include "model/Columns.h"
#include "model/RecyTable.h"
#include "model/TableSearch.h"
#include "model/TestData.h"
#include "model/TextTable.h"
#include "widgets/TableGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Timing
{
    double best = 0;
    double median = 0;
};

Timing Measure(int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

void Report(const char* what, const Timing& timing)
{
    std::printf("%-58s best %8.2f ms   median %8.2f ms\n", what, timing.best, timing.median);
}

int RunsFrom(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--runs"));
    if (at < 0 || at + 1 >= arguments.size())
        return 20;
    bool ok = false;
    const int runs = arguments[at + 1].toInt(&ok);
    if (!ok || runs < 1) {
        std::fprintf(stderr, "--runs needs a whole number of at least 1\n");
        std::exit(2);
    }
    return runs;
}

// Every cell of every PLU row replaced, as an import of a whole sheet does.
void ReplaceAllRows(TextTable& plu, int generation)
{
    for (int row = 1; row < plu.RowCount(); ++row) {
        plu.SetCell(PLUColumn::Barcode, row, QString::number(4000000000000LL + row * 7 + generation));
        plu.SetCell(PLUColumn::Name, row, QStringLiteral("Article %1/%2").arg(row).arg(generation));
        plu.SetCell(PLUColumn::UnitPrice, row, QStringLiteral("%1.%2").arg(row % 900).arg(generation % 90 + 10));
        plu.SetCell(PLUColumn::Department, row, QString::number(row % 9 + 1));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = RunsFrom(QApplication::arguments());

    TextTable plu(TableKind::PLU);
    TextTable dept(TableKind::Department);
    RecyTable recy;
    FillTestData(plu, dept, recy);
    DocumentHistory history(plu, dept, recy);

    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* pluGrid = new TableGrid(&window);
    auto* deptGrid = new TableGrid(&window);
    pluGrid->SetTextTable(&plu);
    deptGrid->SetTextTable(&dept);
    layout->addWidget(pluGrid);
    layout->addWidget(deptGrid);
    window.resize(1200, 800);
    window.show();
    QCoreApplication::processEvents();

    int generation = 0;
    const auto newStep = [&] {
        history.Reset();
        history.Record(QStringLiteral("Import"), [&] { ReplaceAllRows(plu, ++generation); });
        QCoreApplication::processEvents();
    };
    std::printf("%d runs each, 3000 PLU rows, grids shown (offscreen)\n", runs);
    Report("Record a step replacing all 3000 rows", Measure(runs, [&] { history.Reset(); }, [&] {
               history.Record(QStringLiteral("Import"), [&] { ReplaceAllRows(plu, ++generation); });
           }));
    Report("Undo of that step", Measure(runs, newStep, [&] { history.Stack().undo(); }));
    Report("Undo of that step, with the grids' repaint",
           Measure(runs, newStep, [&] {
               history.Stack().undo();
               QCoreApplication::processEvents();
           }));
    Report("Redo of that step", Measure(runs, [&] { newStep(); history.Stack().undo(); },
                                        [&] { history.Stack().redo(); }));

    FillTestData(plu, dept, recy);
    Report("Find \"plu-29\" over 3000 rows (search only)", Measure(runs, [] {}, [&] {
               FindInTable(plu, QStringLiteral("plu-29"));
           }));
    Report("Find a text no row holds", Measure(runs, [] {}, [&] {
               FindInTable(plu, QStringLiteral("no such article"));
           }));
    FindBar bar(*pluGrid, plu, *deptGrid, dept, &window);
    bar.SetFilter(true);
    QStringList texts{QStringLiteral("plu-29"), QStringLiteral("plu-1")};
    int turn = 0;
    Report("Find bar with \"matching rows only\", text changed",
           Measure(runs, [] {}, [&] {
               bar.SetText(texts[turn++ % 2]);
               QCoreApplication::processEvents();
           }));
    return 0;
}
