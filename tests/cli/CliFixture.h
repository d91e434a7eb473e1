#pragma once

// Runs plu-cli as a user does, in a temporary folder that also holds the
// run's settings file, against the register simulator on a pseudo-terminal.

#include "support/SimProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

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
        CliRun run;
        if (!process.waitForFinished(120000))
            return run;
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        run.err = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }

    // A command over the simulator, with short waits so failures end quickly.
    CliRun OverSim(const QStringList& arguments)
    {
        return Cli(arguments
                   + QStringList{"--port", sim.LinkPath(), "--settings", settings, "--retry-interval", "150",
                                 "--retry-count", "2"});
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
