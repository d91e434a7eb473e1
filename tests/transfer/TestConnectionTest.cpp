#include "ServiceDoubles.h"

#include "model/Texts.h"
#include "config/AppPaths.h"
#include "transfer/TestConnection.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class TestConnectionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        AppPaths::SetProgramDir(dir.path());
        m.link->SetTraceEnabled(true);
    }
    void TearDown() override
    {
        AppPaths::SetProgramDir(QString());
        ResetTexts();
    }

    ServiceResult Run() { return TestConnection({*m.link, progress, messages, ServicePort::FromNumber(3, 4)}); }

    QTemporaryDir dir;
    ScriptedLink m;
    FakeRegister reg{*m.device};
    ProgressRecorder progress;
    MessageRecorder messages;
};

} // namespace

TEST_F(TestConnectionTest, MissingRegisterEndsInErrorWithoutLogOut)
{
    reg.absent = true;
    Texts().ConnectText = "Verbinden"; // as the language file may set it
    const ServiceResult result = Run();

    EXPECT_EQ(result.outcome, ServiceResult::Outcome::Failed);
    EXPECT_EQ(reg.Transcript(), QStringList(21, "login")) << "the whole log-in hunt, no log-out";
    EXPECT_EQ(progress.statuses, QStringList({"N:Verbinden...", "E:Verbinden...Error!"}));
    EXPECT_EQ(progress.waits, 1);
    EXPECT_FALSE(m.device->IsOpen());
    EXPECT_TRUE(QFile::exists(AppPaths::TracePath())) << "closing the port writes the trace";
}

TEST_F(TestConnectionTest, PortThatCannotBeOpenedShowsOnlyTheLinksMessage)
{
    m.device->FailNextOpen("Error opening serial port");
    EXPECT_EQ(Run().outcome, ServiceResult::Outcome::PortNotOpened);
    EXPECT_EQ(m.messages.shown, QStringList({"Error opening COM3!\r\nplease select other ports."}));
    EXPECT_TRUE(progress.statuses.isEmpty());
    EXPECT_TRUE(reg.Transcript().isEmpty());
}

TEST_F(TestConnectionTest, CancelDuringTheLogInEndsSilently)
{
    m.device->SetScript({}); // a register that never answers
    QTimer::singleShot(50, [this] { progress.PressCancel(); });
    EXPECT_EQ(Run().outcome, ServiceResult::Outcome::Cancelled);
    EXPECT_EQ(m.device->Writes().size(), 1) << "the wait in progress ended at once, no log-out";
    EXPECT_EQ(progress.statuses, QStringList({"N:Connect..."}));
    EXPECT_FALSE(m.device->IsOpen());
}
