// Times shelf labels: 3000 labels (every PLU named, each with an EAN-13) drawn
// to a PDF and written, and the print-labels dialog's preview redrawn after a
// change of layout. Prints the best and the median wall time of N runs and the
// best processor time of the thread (the work runs on one thread).
#include "BenchTiming.h"
#include "GuiBenchApp.h"

#include "dialogs/LabelsDlg.h"
#include "labels/LabelPdf.h"
#include "labels/LabelSettings.h"
#include "model/Columns.h"
#include "model/TextTable.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

namespace {

// A barcode of twelve digits and its check digit.
QString Ean13(int n)
{
    const QString digits = QStringLiteral("400%1").arg(n, 9, 10, QLatin1Char('0'));
    return digits + QString::number(GtinCheckDigit(digits));
}

void Fill(TextTable& plu, TextTable& departments)
{
    for (int d = 1; d <= 9; ++d)
        departments.SetCell(DeptmentColumn::Name, d, QStringLiteral("Aisle %1").arg(d));
    for (int n = 1; n < plu.RowCount(); ++n) {
        plu.SetCell(PLUColumn::Barcode, n, Ean13(n));
        plu.SetCell(PLUColumn::Name, n, QStringLiteral("Article number %1").arg(n));
        plu.SetCell(PLUColumn::UnitPrice, n, QStringLiteral("%1.%2").arg(n % 100).arg(n % 100, 2, 10, QLatin1Char('0')));
        plu.SetCell(PLUColumn::Department, n, QString::number(n % 9 + 1));
    }
}

void Print(const char* what, int runs, const Timing& timing)
{
    std::printf("| %s | %d | %.0f | %.0f | %.0f |\n", what, runs, timing.best, timing.median, timing.bestCpu);
}

} // namespace

int main(int argc, char** argv)
{
    GuiBenchApp app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    TextTable plu(TableKind::PLU);
    TextTable departments(TableKind::Department);
    Fill(plu, departments);

    const LabelLayout layout = *NamedLayout(QStringLiteral("a4-3x8"));
    std::vector<int> rows;
    for (int n = 1; n < plu.RowCount(); ++n)
        rows.push_back(n);
    const QString path = app.FilePath(QStringLiteral("labels.pdf"));
    const Timing pdf = TimeRuns(runs, [&] {
        const std::vector<LabelArticle> articles = LabelArticles(plu, departments, rows, 2, QStringLiteral("EUR"));
        if (!WriteLabelsPdf(path, layout, LabelSequence(articles, 1, 0)).isEmpty())
            std::exit(1);
    });

    LabelOptions options;
    TLabelsDlg dialog(plu, departments, LabelSources{}, options);
    auto* box = dialog.findChild<QComboBox*>(QStringLiteral("LayoutBox"));
    int next = 0;
    const Timing preview = TimeRuns(runs * 4, [&] {
        next = (next + 1) % (box->count() - 1);
        box->setCurrentIndex(next);
    });

    std::printf("| operation | runs | best ms | median ms | best CPU ms |\n|---|---|---|---|---|\n");
    Print("3000 labels to PDF (125 pages)", runs, pdf);
    Print("preview after a change of layout", runs * 4, preview);
    std::printf("PDF size: %lld bytes\n", static_cast<long long>(QFileInfo(path).size()));
    return 0;
}
