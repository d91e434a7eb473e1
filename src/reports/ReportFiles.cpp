#include "reports/ReportFiles.h"

#include "reports/SalesReport.h"

#include "exchange/CsvSheet.h"
#include "exchange/TableExport.h"
#include "exchange/XlsxWriter.h"
#include "files/FileIo.h"
#include "files/FilePath.h"

namespace {

QList<QStringList> RowsWithDescription(const SalesReport& report)
{
    QList<QStringList> rows = report.rows;
    if (!report.description.isEmpty())
        rows << QStringList{};
    for (const QString& line : report.description)
        rows << QStringList{line};
    return rows;
}

} // namespace

std::optional<ReportFormat> ReportFormatOf(const QString& path)
{
    if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        return ReportFormat::Csv;
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        return ReportFormat::Xlsx;
    if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return ReportFormat::Pdf;
    return std::nullopt;
}

void WriteSalesReportCsv(const SalesReport& report, const QString& path)
{
    QList<QStringList> rows{report.titles};
    rows << RowsWithDescription(report);
    WriteFileAtomically(FilePath(path), CsvSheetBytes(rows, DefaultCsvDelimiter()));
}

void WriteSalesReportXlsx(const SalesReport& report, const QString& path)
{
    WriteXlsxSheet(path, report.title.left(31), report.columns, report.titles, RowsWithDescription(report));
}
