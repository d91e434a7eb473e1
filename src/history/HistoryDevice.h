#pragma once

#include <QString>

// The device a port name stands for, as the history knows registers by it: the
// path the port resolves to, or the /dev/serial/by-id name pointing at the same
// device where there is one (a USB adapter keeps that name across re-plugging).
// byIdFolder is for tests.
QString HistoryDevice(const QString& portName,
                      const QString& byIdFolder = QStringLiteral("/dev/serial/by-id"));

// The history database: HISTORY.DB in the folder of the settings file.
QString HistoryDatabasePath();
