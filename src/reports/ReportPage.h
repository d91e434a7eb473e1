#pragma once

#include <QRectF>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPainter;
struct SalesReport;

// Draws a report's chart into a rectangle of the page.
using ReportChartPainter = std::function<void(QPainter&, const QRectF&)>;

// The report on the pages of `device` (a PDF writer or a printer) through a
// painter begun on it: the title, the description, the chart (drawn by
// `chart`, or as plain bars when none is given) and the table, continued on
// further pages with its titles repeated.
void PaintSalesReport(QPainter& painter, QPagedPaintDevice& device, const SalesReport& report,
                      const ReportChartPainter& chart = {});

// The report's bars, scaled to the largest; labels under them while they fit.
void PaintReportBars(QPainter& painter, const QRectF& area, const SalesReport& report);

// The report as an A4 PDF file, replaced as a whole; failures throw FileError.
void WriteSalesReportPdf(const SalesReport& report, const QString& path);
