#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// `--port-map COMn=PATH` on the command line points COMn at PATH for this run
// only (a simulator's pseudo-terminal, say); the settings file is not touched.
// The option may be given once per port. A relative PATH is taken from the
// current directory.
QMap<QString, QString> ParsePortMapOptions(const QStringList& arguments);

// Makes every port opened from now on resolve through `overrides` first and
// through section "Ports" of the settings file otherwise. Called after the
// windows (and their links) exist.
void UsePortMapOverrides(const QMap<QString, QString>& overrides);
