#pragma once

#include "cli/CliOptions.h"
#include "cli/ConsoleMessageBox.h"
#include "cli/ConsoleProgress.h"
#include "cli/InterruptNotifier.h"
#include "link/QelmIBus.h"

#include <QElapsedTimer>
#include <QString>

// What every plu-cli command works with: the run's settings file, the link on
// the production serial device with the command line's waits, the console
// progress (Ctrl+C presses its Cancel) and the port to open.
class CliSession
{
public:
    explicit CliSession(const CliOptions& options);

    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    const QString& SettingsPath() const { return settingsPath_; }
    // The port name and line-speed index: the command line's, else the
    // settings file's.
    const QString& PortName() const { return portName_; }
    int BaudIndex() const { return baudIndex_; }

    TQelmIBusComm& Link() { return link_; }
    ConsoleProgress& Progress() { return progress_; }
    ConsoleMessageBox& Messages() { return messages_; }
    // Since the session was made, just before its command began.
    qint64 ElapsedMs() const { return clock_.elapsed(); }

private:
    QString settingsPath_;
    QString portName_;
    int baudIndex_ = 0;
    ConsoleMessageBox messages_{stderr};
    TQelmIBusComm link_;
    ConsoleProgress progress_;
    InterruptNotifier interrupt_;
    QElapsedTimer clock_;
};
