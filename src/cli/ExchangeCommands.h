#pragma once

#include <QString>
#include <QStringList>

// plu-cli import and export: a table of a document to and from a CSV or XLSX
// sheet, without a register.
//   plu-cli export DOC.PLU OUT.csv|OUT.xlsx [--table plu|department] [--all-rows] [--delimiter D]
//   plu-cli import DOC.PLU IN.csv|IN.xlsx [--table plu|department] [--dry-run]

// Whether the command line (program name first) names import or export.
bool IsExchangeCommand(const QStringList& arguments);

// Runs it; returns the exit status.
int RunExchangeCommand(const QStringList& arguments);

QString ExchangeUsage();
