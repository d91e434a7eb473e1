#include "app/Printing.h"

#include "model/Columns.h"
#include "model/Language.h"
#include "model/TextTable.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

constexpr int BarcodeColumn = 1;
constexpr int NameColumn = 2;
constexpr int ListingPointSize = 10;
// Characters between a column's widest text and the next column.
constexpr int ColumnGap = 2;

// Tab stops: after each printed column, its maximum length plus a gap, in
// character widths. Columns one character wide still get room for a title-less
// blank.
QList<qreal> TabStops(qreal characterWidth)
{
    QList<qreal> stops;
    qreal position = 0;
    for (int column = BarcodeColumn; column < 8; ++column) {
        position += (std::max(PLUMaxLens[column], 2) + ColumnGap) * characterWidth;
        stops << position;
    }
    return stops;
}

// Draws one line whose fields are separated by TABs: each field starts at the
// first tab stop behind the end of the text before it, or a gap further when
// the stops are used up, as a TAB on a text printer does.
void DrawTabbedLine(QPainter& painter, const QFontMetricsF& metrics, const QList<qreal>& stops,
                    qreal baseline, const QString& line)
{
    const qreal gap = ColumnGap * metrics.horizontalAdvance(QLatin1Char('0'));
    qreal x = 0;
    const QStringList fields = line.split(QLatin1Char('\t'));
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            const auto stop = std::find_if(stops.cbegin(), stops.cend(),
                                           [x](qreal position) { return position > x; });
            x = stop != stops.cend() ? *stop : x + gap;
        }
        painter.drawText(QPointF(x, baseline), fields[i]);
        x += metrics.horizontalAdvance(fields[i]);
    }
}

} // namespace

QStringList PluListingLines(const TextTable& plu)
{
    QStringList lines;
    for (int row = 1; row < plu.RowCount(); ++row) {
        if (plu.Cell(NameColumn, row).isEmpty())
            continue;
        QString line = plu.Cell(BarcodeColumn, row);
        for (int column = BarcodeColumn + 1; column < plu.ColCount(); ++column)
            line += QLatin1Char('\t') + plu.Cell(column, row);
        lines << line;
    }
    return lines;
}

QString PrintLines(const QStringList& lines, QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return Tr("Printing", "JobNotStarted", "The print job could not be started.");

    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(ListingPointSize);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &printer);
    const QList<qreal> stops = TabStops(metrics.horizontalAdvance(QLatin1Char('0')));

    const QRectF page = painter.viewport();
    const qreal lineHeight = metrics.lineSpacing();
    qreal y = 0;
    for (const QString& line : lines) {
        if (y > 0 && y + lineHeight > page.height()) {
            if (!printer.newPage()) {
                painter.end();
                return Tr("Printing", "NewPageRefused", "The printer did not accept a new page.");
            }
            y = 0;
        }
        DrawTabbedLine(painter, metrics, stops, y + metrics.ascent(), line);
        y += lineHeight;
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return Tr("Printing", "JobFailed", "The print job failed.");
    return QString();
}

QString PrintPluListing(const TextTable& plu, QPrinter& printer)
{
    return PrintLines(PluListingLines(plu), printer);
}

QString PrintPluListingOnDefaultPrinter(const TextTable& plu)
{
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (defaultPrinter.isNull())
        return Tr("Printing", "NoDefaultPrinter", "There is no default printer.");
    QPrinter printer(defaultPrinter);
    printer.setDocName(QStringLiteral("PLU"));
    return PrintPluListing(plu, printer);
}
