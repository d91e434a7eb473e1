#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

// The register simulator ecr-sim on a pseudo-terminal, for tests that run a
// whole transfer over a real serial line. The program is taken from
// PLU_BIN_DIR; its frame log lies in the given folder.
class SimProcess
{
public:
    explicit SimProcess(const QString& folder)
        : linkPath_(QDir(folder).filePath(QStringLiteral("ecr-pty"))),
          logPath_(QDir(folder).filePath(QStringLiteral("ecr-sim.log")))
    {
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    ~SimProcess() { Stop(); }

    // PLU_BIN_DIR names the folder of the programs; the build folder the
    // test was configured with serves when it is not set.
    static QString BinDir()
    {
        const QString dir = qEnvironmentVariable("PLU_BIN_DIR");
        return dir.isEmpty() ? QStringLiteral(PLU_DEFAULT_BIN_DIR) : dir;
    }

    static QString Program() { return QDir(BinDir()).filePath(QStringLiteral("ecr-sim")); }

    // Starts the simulator and waits until it announced its terminal.
    bool Start(const QStringList& options = {})
    {
        process_.setProgram(Program());
        process_.setArguments(QStringList{QStringLiteral("--link"), linkPath_, QStringLiteral("--log"), logPath_}
                              + options);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
        if (!process_.waitForStarted(10000))
            return false;
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(10000))
                return false;
        }
        process_.readLine();
        return true;
    }

    // Ends the simulator; its log is complete afterwards.
    void Stop()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished(10000);
        }
    }

    const QString& LinkPath() const { return linkPath_; }

    QStringList LogLines() const
    {
        QFile file(logPath_);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // Frames of one kind the simulator received ("(log-out)", "cmd 12 ").
    int CountFrames(const QString& needle) const
    {
        int count = 0;
        for (const QString& line : LogLines())
            count += line.contains(needle) ? 1 : 0;
        return count;
    }

private:
    QProcess process_;
    QString linkPath_;
    QString logPath_;
};
