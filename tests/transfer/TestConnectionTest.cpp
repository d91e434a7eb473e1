#include "ServiceDoubles.h"

#include "model/Texts.h"
#include "settings/AppPaths.h"
#include "transfer/TestConnection.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using Outcome = ServiceResult::Outcome;

class TestConnectionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        AppPaths::SetProgramDir(m_dir.path());
        m.link->SetTraceEnabled(true);
    }
    void TearDown() override
    {
        AppPaths::SetProgramDir(QString());
        ResetTexts();
    }

    ServiceResult Run() { return TestConnection(Context()); }
    ServiceContext Context() { return {*m.link, progress, messages, ServicePort::FromNumber(3, 4)}; }

    void ExpectPortClosedAndTraced() const
    {
        EXPECT_FALSE(m.link->isActive());
        EXPECT_FALSE(m.device->IsOpen());
        EXPECT_FALSE(progress.HasCancelHandler());
        EXPECT_TRUE(QFile::exists(AppPaths::TracePath())) << "closing the port writes the trace";
    }

    QTemporaryDir m_dir;
    ScriptedLink m;
    FakeRegister reg{*m.device};
    ProgressRecorder progress;
    MessageRecorder messages;
};

} // namespace

TEST_F(TestConnectionTest, RegisterAnswersOneLogInAndOneLogOut)
{
    const ServiceResult result = Run();

    EXPECT_EQ(result.outcome, Outcome::Done);
    EXPECT_EQ(m.device->CommName(), "COM3");
    ASSERT_EQ(reg.Frames().size(), 3u) << "log-in, its status request, log-out";
    EXPECT_TRUE(FakeRegister::IsLogIn(reg.Frames()[0]));
    EXPECT_EQ(reg.Frames()[0][13], 4) << "the configured rate index";
    EXPECT_EQ(reg.Frames()[0][14], 1) << "a log-in for a transfer, not a program load";
    EXPECT_TRUE(FakeRegister::IsLogOut(reg.Frames()[2]));
    EXPECT_EQ(reg.Frames()[2][7], 0) << "normal end";
    EXPECT_EQ(m.device->BaudRate(), 115200u);
    EXPECT_EQ(progress.statuses, QStringList({"N:Connect...", "N:Disconnect..."}));
    EXPECT_EQ(progress.closes, 1);
    EXPECT_EQ(progress.waits, 0);
    ExpectPortClosedAndTraced();
}

TEST_F(TestConnectionTest, MissingRegisterEndsInErrorWithoutLogOut)
{
    reg.presence = FakeRegister::Presence::Absent;
    const ServiceResult result = Run();

    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.message, "Connect...Error!");
    EXPECT_EQ(reg.CountFrames(14, 1, 0), 21) << "the whole log-in hunt";
    EXPECT_EQ(reg.CountFrames(14, 2, 0), 0) << "no log-out after a failed log-in";
    EXPECT_EQ(progress.statuses, QStringList({"N:Connect...", "E:Connect...Error!"}));
    EXPECT_EQ(progress.waits, 1);
    EXPECT_EQ(progress.closes, 0);
    ExpectPortClosedAndTraced();
}

TEST_F(TestConnectionTest, LanguageFileTextsAreShown)
{
    Texts().ConnectText = "Verbinden";
    reg.presence = FakeRegister::Presence::Absent;
    EXPECT_EQ(Run().message, "Verbinden...Error!");
    EXPECT_EQ(progress.statuses, QStringList({"N:Verbinden...", "E:Verbinden...Error!"}));
}

TEST_F(TestConnectionTest, PortThatCannotBeOpenedShowsOnlyTheLinksMessage)
{
    m.device->FailNextOpen("Error opening serial port");
    const ServiceResult result = Run();

    EXPECT_EQ(result.outcome, Outcome::PortNotOpened);
    EXPECT_EQ(m.linkMessages.errors, QStringList({"Error opening COM3!\r\nplease select other ports."}));
    EXPECT_EQ(progress.shows, 0);
    EXPECT_TRUE(m.device->Writes().isEmpty());
}

TEST_F(TestConnectionTest, CancelDuringTheLogInEndsSilentlyAndClosesThePort)
{
    reg.presence = FakeRegister::Presence::Silent;
    QTimer::singleShot(50, [this] { progress.PressCancel(); });
    const ServiceResult result = Run();

    EXPECT_EQ(result.outcome, Outcome::Cancelled);
    EXPECT_EQ(reg.CountFrames(14, 1, 0), 1) << "the wait in progress ended at once";
    EXPECT_EQ(reg.CountFrames(14, 2, 0), 0);
    EXPECT_EQ(progress.statuses, QStringList({"N:Connect..."}));
    ExpectPortClosedAndTraced();
}
