#pragma once

#include <QString>

#include <optional>

struct SalesReport;

// The files a report is written to, told by their extension (either case).
enum class ReportFormat { Csv, Xlsx, Pdf };

std::optional<ReportFormat> ReportFormatOf(const QString& path);

// The report's table as a sheet, then a blank line and its description, each
// through the spreadsheet writers of the exchange; the file is replaced as a
// whole. Failures throw FileError.
void WriteSalesReportCsv(const SalesReport& report, const QString& path);
void WriteSalesReportXlsx(const SalesReport& report, const QString& path);
