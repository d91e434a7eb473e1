#pragma once

#include <QString>
#include <QStringList>

// plu-cli report: the sales of the document's current figures or of a period
// of readings in the history, as a CSV, XLSX or PDF file; no register needed.
//   plu-cli report [SHOP.PLU] OUT.csv|OUT.xlsx|OUT.pdf [--view V] [--from DATE|ID] [--to DATE|ID]
//                  [--threshold N] [--port COMn] [--settings FILE]

// Whether the command line (program name first) names report.
bool IsReportCommand(const QStringList& arguments);

// Whether the command draws pages (a PDF), for which the program needs the
// painter's application; judged on the raw arguments before one exists.
bool ReportDrawsPages(int argc, char** argv);

// Runs it; returns the exit status.
int RunReportCommand(const QStringList& arguments);

QString ReportUsage();
