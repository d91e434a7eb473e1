#include "app/Printing.h"

#include "app/Interim.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextOption>

namespace {

constexpr int BarcodeColumn = 1;
constexpr int NameColumn = 2;
constexpr int ListingPointSize = 10;
// Characters between a column's widest text and the next column.
constexpr int ColumnGap = 2;

// Tab stops in characters: after each printed column, its maximum length plus
// a gap. Columns one character wide still get room for a blank.
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
        return QStringLiteral("The print job could not be started.");

    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(ListingPointSize);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &printer);
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabArray(TabStops(metrics.horizontalAdvance(QLatin1Char('0'))));

    const QRectF page = painter.viewport();
    const qreal lineHeight = metrics.lineSpacing();
    qreal y = 0;
    for (const QString& line : lines) {
        if (y > 0 && y + lineHeight > page.height()) {
            if (!printer.newPage()) {
                painter.end();
                return QStringLiteral("The printer did not accept a new page.");
            }
            y = 0;
        }
        painter.drawText(QRectF(0, y, page.width(), lineHeight), line, option);
        y += lineHeight;
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return QStringLiteral("The print job failed.");
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
        return QStringLiteral("There is no default printer.");
    QPrinter printer(defaultPrinter);
    printer.setDocName(QStringLiteral("PLU"));
    return PrintPluListing(plu, printer);
}
