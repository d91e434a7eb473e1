#pragma once

// Runs the register simulator (ecr-sim) as a child process on a pseudo-terminal
// and points the program at it, for tests and benchmarks that talk to a
// register through the production serial device and link:
//
//   SimProcess sim;
//   ASSERT_TRUE(sim.Start({"--rate", "19200"})) << qPrintable(sim.ErrorString());
//   auto link = MakeRegisterLink();
//   link->SetCommName(sim.PortName());   // "COM3", mapped in SYSTEM.CFG
//   link->SetActive(true);
//   ...
//   link->SetActive(false);              // DEBUG.LOG lands in sim.ProgramDir()
//   ASSERT_TRUE(sim.Stop());             // the frame log is complete now
//   EXPECT_EQ(sim.FrameLines().size(), 2);
//
// Everything lives in one temporary folder that is also the program folder
// for the run: the link path "port", SYSTEM.CFG (section Ports, COM3 = the
// link path), the simulator's frame log "sim.log", DEBUG.LOG and any file a
// test names with FilePath(). The destructor stops the simulator (SIGTERM,
// then SIGKILL if it does not end) and returns the program folder to the
// executable's folder. The simulator also gets SIGTERM should this process die
// first, so no simulator outlives a crashed test.
//
// The program is $PLU_BIN_DIR/ecr-sim; without that variable, the folder
// compiled in as PLU_DEFAULT_BIN_DIR (when defined), else the folder of the
// running executable.

#include "config/AppPaths.h"
#include "config/PortMap.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <csignal>
#include <exception>
#include <sys/prctl.h>

class SimProcess
{
public:
    // How long the simulator may take to start, print its path, or stop.
    static constexpr int kStartTimeoutMs = 15000;
    static constexpr int kStopTimeoutMs = 10000;

    SimProcess() = default;
    ~SimProcess()
    {
        if (IsRunning() && !Stop())
            Kill();
        if (m_programDirSet)
            AppPaths::SetProgramDir(QString());
    }

    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts `ecr-sim --link <dir>/port --log <dir>/sim.log <options>`, waits
    // for the slave path it prints, makes the temporary folder the program
    // folder and maps PortName() to the link path in its SYSTEM.CFG. False,
    // with ErrorString(), when any step fails; a started simulator is then
    // stopped again.
    bool Start(const QStringList& options = {})
    {
        if (!m_dir.isValid())
            return Fail(QStringLiteral("no temporary folder: ") + m_dir.errorString());
        if (IsRunning())
            return Fail(QStringLiteral("the simulator is already running"));

        m_process.setProgram(Program());
        m_process.setArguments(QStringList{QStringLiteral("--link"), LinkPath(), QStringLiteral("--log"), LogPath()}
                               + options);
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_process.start();
        if (!m_process.waitForStarted(kStartTimeoutMs))
            return Fail(m_process.program() + QStringLiteral(": ") + m_process.errorString());

        if (!ReadSlavePath())
            return false;

        AppPaths::SetProgramDir(m_dir.path());
        m_programDirSet = true;
        try {
            SetPortDevicePath(PortName(), LinkPath());
        } catch (const std::exception& error) {
            Kill();
            return Fail(QStringLiteral("cannot write SYSTEM.CFG: ") + QString::fromLocal8Bit(error.what()));
        }
        return true;
    }

    // Sends SIGTERM and waits for the simulator to end. True when it ended by
    // itself with exit code 0 (its files are then saved and the link removed).
    bool Stop()
    {
        if (!IsRunning())
            return Fail(QStringLiteral("the simulator is not running"));
        m_process.terminate();
        if (!m_process.waitForFinished(kStopTimeoutMs)) {
            Kill();
            return Fail(QStringLiteral("the simulator did not stop on SIGTERM"));
        }
        if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0)
            return Fail(QStringLiteral("the simulator exited with %1: %2")
                            .arg(m_process.exitCode())
                            .arg(QString::fromLocal8Bit(m_process.readAllStandardError())));
        return true;
    }

    bool IsRunning() const { return m_process.state() != QProcess::NotRunning; }
    QString ErrorString() const { return m_error; }

    // The port name to give the link.
    static QString PortName() { return QStringLiteral("COM3"); }
    // The symbolic link the simulator points at its pseudo-terminal.
    QString LinkPath() const { return FilePath(QStringLiteral("port")); }
    // The pseudo-terminal's own path, as the simulator printed it.
    QString SlavePath() const { return m_slavePath; }
    QString ProgramDir() const { return m_dir.path(); }
    QString FilePath(const QString& name) const { return m_dir.filePath(name); }
    QString LogPath() const { return FilePath(QStringLiteral("sim.log")); }
    QString TracePath() const { return FilePath(QStringLiteral("DEBUG.LOG")); }

    // The simulator's frame log: one line per frame it heard, also frames
    // ignored because they came at another line rate.
    QStringList LogLines() const
    {
        QFile file(LogPath());
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        lines.removeAll(QString());
        return lines;
    }

    // The log lines of the frames the simulator counted (heard at the rate
    // it listens on): "#<n> cmd <c> param <p> (<name>): <outcome>[, <detail>]",
    // or "#<n>: nak, bad checksum".
    QStringList FrameLines() const
    {
        static const QRegularExpression counted(QStringLiteral("^#\\d+"));
        return LogLines().filter(counted);
    }

    // How many log lines mention needle ("(log-out)", "cmd 12 ").
    int CountFrames(const QString& needle) const
    {
        return int(LogLines().filter(needle).size());
    }

    // Frame lines without their numbers, each once: a frame the program sent
    // again because a busy machine delayed the answer counts once, and
    // "cmd 13 param 2" still tells one package from another.
    static QStringList Distinct(const QStringList& frameLines)
    {
        static const QRegularExpression number(QStringLiteral("^#\\d+ "));
        QStringList lines;
        for (const QString& line : frameLines)
            lines << QString(line).remove(number);
        lines.removeDuplicates();
        return lines;
    }

    // What the simulator wrote to standard error so far.
    QByteArray ErrorOutput() { return m_process.readAllStandardError(); }

    // The folder of the programs (ecr-sim, plu-cli).
    static QString BinDir()
    {
        QString binDir = qEnvironmentVariable("PLU_BIN_DIR");
#ifdef PLU_DEFAULT_BIN_DIR
        if (binDir.isEmpty())
            binDir = QStringLiteral(PLU_DEFAULT_BIN_DIR);
#endif
        if (binDir.isEmpty())
            binDir = QCoreApplication::applicationDirPath();
        return binDir;
    }

    static QString Program() { return BinDir() + QStringLiteral("/ecr-sim"); }

private:
    bool ReadSlavePath()
    {
        const QDeadlineTimer deadline(kStartTimeoutMs);
        while (!m_process.canReadLine()) {
            if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime()))) {
                const QString output = QString::fromLocal8Bit(m_process.readAllStandardError());
                Kill();
                return Fail(QStringLiteral("the simulator printed no path: ") + output);
            }
        }
        m_slavePath = QString::fromLocal8Bit(m_process.readLine().trimmed());
        return true;
    }

    void Kill()
    {
        if (!IsRunning())
            return;
        m_process.kill();
        m_process.waitForFinished(kStopTimeoutMs);
    }

    bool Fail(const QString& error)
    {
        m_error = error;
        return false;
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_slavePath;
    QString m_error;
    bool m_programDirSet = false;
};
