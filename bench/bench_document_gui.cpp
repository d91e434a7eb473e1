// Times what the operator waits for with a full table on screen: filling the
// test data, saving, clearing and opening a 3000-row document, each followed
// by the repaint of the main window's grids.
#include "app/Main.h"
#include "widgets/TableGrid.h"
#include "editing/EditedDocument.h"
#include "model/TestData.h"
#include "GuiBenchApp.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>

namespace {

double TimeMs(const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    QCoreApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    GuiBenchApp app(argc, argv);

    TMainForm window;
    window.resize(1280, 800);
    window.show();
    QCoreApplication::processEvents();

    EditedDocument& document = window.CurrentDocument();
    const QString path = app.FilePath(QStringLiteral("BENCH.PLU"));

    const double fill = TimeMs([&] {
        FillTestData(window.PluTable(), window.DeptmentTable(), window.RecyclingTable());
        window.PLUGrid().viewport()->repaint();
    });
    const double save = TimeMs([&] { document.SaveDocument(path); });
    const double clear = TimeMs([&] {
        document.ClearDocument();
        window.PLUGrid().viewport()->repaint();
    });
    const double open = TimeMs([&] {
        document.LoadDocument(path);
        window.PLUGrid().viewport()->repaint();
    });

    std::printf("step                      ms\n");
    std::printf("fill test data      %10.1f\n", fill);
    std::printf("save 3000 rows      %10.1f\n", save);
    std::printf("new (clear)         %10.1f\n", clear);
    std::printf("open 3000 rows      %10.1f\n", open);
    std::printf("rows loaded: %s\n", qPrintable(window.PluTable().Cell(2, 3000)));
    return 0;
}
