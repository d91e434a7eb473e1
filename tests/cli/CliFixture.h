#pragma once

// Runs plu-cli as a user does, in a temporary folder that also holds the
// run's settings file, against the register simulator on a pseudo-terminal.

#include "support/SimProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

#include <gtest/gtest.h>

struct CliRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

class CliFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        settings = dir.filePath(QStringLiteral("SYSTEM.CFG"));
    }

    QString Path(const QString& name) const { return dir.filePath(name); }

    static QString CliProgram() { return QDir(SimProcess::BinDir()).filePath(QStringLiteral("plu-cli")); }

    CliRun Cli(const QStringList& arguments)
    {
        QProcess process;
        process.setProgram(CliProgram());
        process.setArguments(arguments);
        process.setWorkingDirectory(dir.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        process.setProcessEnvironment(environment);
        process.start();
        return Collect(process);
    }

    // Waits for a started plu-cli and takes what it printed.
    static CliRun Collect(QProcess& process)
    {
        CliRun run;
        if (!process.waitForFinished(120000))
            return run;
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        run.err = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }

    // How plu-cli waits for the simulator: a second for each answer, since an
    // answer a loaded machine delays must not be taken for silence and sent
    // again, which would move the frame where a --fail-after register falls
    // silent; one retry, so that failures still end soon.
    static QStringList AnswerWaits() { return {"--retry-interval", "1000", "--retry-count", "1"}; }

    // A command over the simulator.
    CliRun OverSim(const QStringList& arguments)
    {
        return Cli(arguments + QStringList{"--port", sim.LinkPath(), "--settings", settings} + AnswerWaits());
    }

    // plu-cli as started from a terminal: Ctrl+C is not ignored, even when
    // the tests themselves run in the background of a script, which ignores it.
    static void StartFromTerminal(QProcess& process)
    {
        process.setChildProcessModifier([] { ::signal(SIGINT, SIG_DFL); });
        process.start();
    }

    // Runs a command over the simulator from a terminal and presses Ctrl+C
    // once its progress shows `shown`; the run holds all it printed.
    CliRun InterruptWhenShown(const QStringList& arguments, const QByteArray& shown)
    {
        QProcess process;
        process.setProgram(CliProgram());
        process.setArguments(arguments + QStringList{"--port", sim.LinkPath(), "--settings", settings});
        return SignalWhenShown(process, shown, SIGINT);
    }

    // Runs a command over the simulator with waits so long that only the
    // cable can end it; once its progress shows `shown` (and `pause` ms more
    // passed) the simulator ends, which hangs up the line.
    CliRun UnplugWhenShown(const QStringList& arguments, const QByteArray& shown, int pause = 0)
    {
        QProcess process;
        process.setProgram(CliProgram());
        process.setArguments(arguments
                             + QStringList{"--port", sim.LinkPath(), "--settings", settings,
                                           "--retry-interval", "60000"});
        process.setReadChannel(QProcess::StandardError);
        process.start();
        QByteArray err;
        while (!err.contains(shown) && process.waitForReadyRead(30000))
            err += process.readAllStandardError();
        EXPECT_TRUE(err.contains(shown)) << err.constData();
        QThread::msleep(pause);
        sim.Stop();
        CliRun run;
        if (process.waitForFinished(60000))
            run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.err = QString::fromLocal8Bit(err + process.readAllStandardError());
        return run;
    }

    // Starts the prepared process (plu-cli, or a shell that execs it) as from
    // a terminal; once its progress shows `shown`, sends it `signal`.
    static CliRun SignalWhenShown(QProcess& process, const QByteArray& shown, int signal)
    {
        process.setReadChannel(QProcess::StandardError);
        StartFromTerminal(process);
        QByteArray err;
        while (!err.contains(shown) && process.waitForReadyRead(30000))
            err += process.readAllStandardError();
        EXPECT_TRUE(err.contains(shown)) << err.constData();
        ::kill(pid_t(process.processId()), signal);
        CliRun run;
        if (process.waitForFinished(60000))
            run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.err = QString::fromLocal8Bit(err + process.readAllStandardError());
        return run;
    }

    // A command over a simulator that has stopped answering: only a signal
    // ends it soon.
    CliRun SignalDuring(const QStringList& arguments, const QByteArray& shown, int signal)
    {
        QProcess process;
        process.setProgram(CliProgram());
        process.setArguments(arguments + QStringList{"--port", sim.LinkPath(), "--settings", settings,
                                                     "--retry-interval", "60000"});
        process.setWorkingDirectory(dir.path());
        return SignalWhenShown(process, shown, signal);
    }

    static void WriteFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray ReadFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The lines of a file's bytes, each still ending with its CR.
    static QList<QByteArray> Lines(const QByteArray& bytes)
    {
        QList<QByteArray> lines = bytes.split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    QTemporaryDir dir;
    QString settings;
    SimProcess sim;
};
