#pragma once

#include <QString>
#include <QStringList>

// plu-cli labels: shelf labels of a document's articles as a PDF, without a
// register.
//   plu-cli labels DOC.PLU OUT.pdf [--rows all|changed|FROM-TO] [--department N]
//       [--layout NAME | --page A4|Letter|WxH --grid CxR --label WxH --margins T,L --gaps H,V]
//       [--skip K] [--copies N] [--currency TEXT] [--port COMn] [--settings FILE]
//   plu-cli labels --list-layouts

// Whether the command line (program name first) names labels. Told from the
// raw arguments, before the application object exists: only this command
// draws and needs Qt's GUI platform.
bool IsLabelsCommand(int argc, char** argv);
bool IsLabelsCommand(const QStringList& arguments);

// Runs it; returns the exit status.
int RunLabelsCommand(const QStringList& arguments);

QString LabelsUsage();
