// The demo start of `make run`: the simulator comes up on a pseudo-terminal,
// the program starts with every COMn pointed at it and with the options
// given, and the simulator goes away when the program ends.
#include "support/SimProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The programs run from a scratch build folder, so nothing is written
// beside the real ones.
testing::AssertionResult CopyProgram(const QString& name, const QDir& into)
{
    QFile program(QDir(SimProcess::BinDir()).filePath(name));
    if (!program.copy(into.filePath(name)))
        return testing::AssertionFailure() << qPrintable(program.fileName()) << ": "
                                           << qPrintable(program.errorString());
    return testing::AssertionSuccess();
}

} // namespace

TEST(RunDemoTest, StartsTheSimulatorAndTheProgramAndStopsTheSimulatorAfterwards)
{
    QTemporaryDir build;
    ASSERT_TRUE(build.isValid());
    QDir bin(build.path());
    ASSERT_TRUE(bin.mkdir(QStringLiteral("bin")) && bin.cd(QStringLiteral("bin")));
    ASSERT_TRUE(CopyProgram(QStringLiteral("ecr-sim"), bin));
    ASSERT_TRUE(CopyProgram(QStringLiteral("plu-manager"), bin));

    const QString shot = build.filePath(QStringLiteral("shot.png"));
    QProcess demo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    demo.setProcessEnvironment(environment);
    // The screenshot option ends the program once its window is painted.
    demo.start(QStringLiteral(PLU_SOURCE_DIR "/tools/run-demo.sh"),
               {build.path(), QStringLiteral("--screenshot"), shot});
    ASSERT_TRUE(demo.waitForFinished(120000)) << "the demo did not end";
    const QString output = QString::fromLocal8Bit(demo.readAllStandardOutput());
    const QString errors = QString::fromLocal8Bit(demo.readAllStandardError());

    EXPECT_EQ(demo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(demo.exitCode(), 0) << qPrintable(errors);
    EXPECT_TRUE(output.contains(QStringLiteral("COM1 to COM4 lead to it."))) << qPrintable(output);
    EXPECT_TRUE(QFileInfo(shot).size() > 0) << "the program did not start with the options given";
    // The simulator removes its link when it ends.
    EXPECT_FALSE(QFileInfo(bin.filePath(QStringLiteral("ecr-sim-port"))).isSymLink())
        << "the simulator still runs";
}
