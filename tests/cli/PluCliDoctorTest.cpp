// plu-cli doctor against the register simulator on a pseudo-terminal.

#include "CliFixture.h"

namespace {

using PluCliDoctorTest = CliFixture;

TEST_F(PluCliDoctorTest, AWorkingPortNamesTheDeviceTheRateThatAnsweredAndAnotherProgramHoldingIt)
{
    ASSERT_TRUE(sim.Start({"--rate", "38400"})) << sim.ErrorString().toStdString();
    QProcess holder;
    holder.setStandardInputFile(sim.LinkPath());
    holder.start(QStringLiteral("sleep"), {QStringLiteral("120")});
    ASSERT_TRUE(holder.waitForStarted());
    const qint64 holderPid = holder.processId();

    const CliRun run = Cli({"doctor", "--port", sim.LinkPath(), "--settings", settings});
    holder.kill();
    holder.waitForFinished();
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("OK   " + sim.LinkPath() + " exists.")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("FAIL process %1 (sleep) has the device open.").arg(holderPid)));
    EXPECT_TRUE(run.out.contains("Log-in at 9600 bit/s: no answer.\n     Log-in at 19200 bit/s: no answer.\n"
                                 "OK   Log-in at 38400 bit/s: the register answered."));
    EXPECT_TRUE(run.out.contains("The register answers on " + sim.LinkPath() + " at 38400 bit/s."));
    ASSERT_TRUE(sim.Stop());
    // One log-out, sent again when a busy machine delays its acknowledgement.
    EXPECT_GE(sim.CountFrames("(log-out)"), 1);
}

TEST_F(PluCliDoctorTest, AMissingDeviceOrASilentRegisterFails)
{
    const CliRun missing = Cli({"doctor", "--port", Path("ttyUSB7"), "--settings", settings});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.contains("FAIL " + Path("ttyUSB7") + " does not exist.")) << missing.out.toStdString();
    EXPECT_FALSE(missing.out.contains("Log-in"));

    ASSERT_TRUE(sim.Start({"--fail-after", "0"})) << sim.ErrorString().toStdString();
    const CliRun silent = Cli({"doctor", "--port", sim.LinkPath(), "--settings", settings});
    EXPECT_EQ(silent.exitCode, 1);
    for (const char* rate : {"9600", "19200", "38400", "57600", "115200"})
        EXPECT_TRUE(silent.out.contains(QStringLiteral("Log-in at %1 bit/s: no answer.").arg(rate)))
            << silent.out.toStdString();
    EXPECT_TRUE(silent.out.contains("FAIL No register answered on " + sim.LinkPath() + " at any rate."));
    ASSERT_TRUE(sim.Stop());
}

} // namespace
