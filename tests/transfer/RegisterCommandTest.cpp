// The register-command runner on a scripted link: what it refuses before the
// port, what an empty department table does, and what an upload replaces.

#include "commands/RegisterCommand.h"
#include "commands/CommandReport.h"

#include "FakeTransferLink.h"
#include "RecordingProgress.h"

#include "model/Defs.h"
#include "model/TextTable.h"
#include "config/AppPaths.h"
#include "transfer/Records.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr quint8 kStatusRequest = 0;
constexpr quint8 kDepartmentsRequest = 10;
constexpr quint8 kDepartmentsPackage = 12;
constexpr unsigned kPLU = TableBit(TransferTable::PLU);
constexpr unsigned kDepartment = TableBit(TransferTable::Department);

class ScriptedFrontEnd final : public IRegisterCommandFrontEnd
{
public:
    void Notice(const QString& text) override { notices << text; }
    void Warning(const QString& text) override { warnings << text; }
    bool SendEmptyDepartments() override
    {
        ++questions;
        return sendEmpty;
    }
    void ChangeTables(const std::function<void()>& change) override
    {
        ++changes;
        change();
    }

    bool sendEmpty = false;
    int questions = 0;
    int changes = 0;
    QStringList notices;
    QStringList warnings;
};

class RegisterCommandTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        AppPaths::SetProgramDir(m_dir.path());
        for (int n = 1; n <= 3; ++n)
            plu.SetCell(PLUColumn::Name, n, QStringLiteral("Mine %1").arg(n));
        link.answer = [](quint8 command, quint16 parameter, FakeTransferLink::Data& data) {
            return Answer(command, parameter, data);
        };
    }
    void TearDown() override { AppPaths::SetProgramDir(QString()); }

    RegisterCommandResult Run(RegisterCommandKind kind, unsigned selection)
    {
        RegisterCommandRequest request;
        request.kind = kind;
        request.transfer.port = QStringLiteral("COM1");
        request.transfer.selection = selection;
        request.transfer.range = {1, 3};
        return RegisterCommand(link, progress, frontEnd).Run(request, {plu, departments, QString()});
    }

    // A register with two price decimals, whose departments are named
    // "Register d" and whose PLUs have no name.
    static bool Answer(quint8 command, quint16 parameter, FakeTransferLink::Data& data)
    {
        data.fill(0);
        if (command == kStatusRequest)
            data[0] = 2;
        if (command != kDepartmentsRequest)
            return true;
        for (int slot = 0; slot < 8; ++slot) {
            const DeptmentRecord record = EncodeDeptmentRecord(
                {QStringLiteral("Register %1").arg(parameter * 8 + slot + 1), QStringLiteral("1"),
                 QStringLiteral("0.00")},
                2);
            std::copy(record.cbegin(), record.cend(), data.begin() + record.size() * std::size_t(slot));
        }
        return true;
    }

    TextTable plu{TableKind::PLU};
    TextTable departments{TableKind::Department};
    FakeTransferLink link;
    RecordingProgress progress;
    ScriptedFrontEnd frontEnd;

private:
    QTemporaryDir m_dir;
};

TEST_F(RegisterCommandTest, NothingChosenOrRefusedCellsStopEveryCommandBeforeThePort)
{
    for (const RegisterCommandKind kind :
         {RegisterCommandKind::Download, RegisterCommandKind::Upload, RegisterCommandKind::Compare}) {
        const RegisterCommandResult result = Run(kind, 0);
        EXPECT_EQ(result.result.outcome, TransferResult::Outcome::Refused);
        EXPECT_EQ(result.result.message, "No table was chosen.");
    }
    // The parameter set alone is nothing a compare can read.
    EXPECT_EQ(Run(RegisterCommandKind::Compare, TableBit(TransferTable::Parameter)).result.outcome,
              TransferResult::Outcome::Refused);

    // A compare shows what a download would send, so it refuses the same cells.
    plu.SetCell(PLUColumn::UnitPrice, 2, QStringLiteral("abc"));
    const RegisterCommandResult compare = Run(RegisterCommandKind::Compare, kPLU);
    EXPECT_EQ(compare.result.outcome, TransferResult::Outcome::Refused);
    EXPECT_EQ(compare.result.message, "Invalid data!");
    EXPECT_TRUE(compare.result.detail.contains("PLU 2")) << qPrintable(compare.result.detail);
    EXPECT_FALSE(compare.compared);
    EXPECT_TRUE(link.calls.isEmpty()) << qPrintable(link.calls.join('\n'));
}

TEST_F(RegisterCommandTest, AnEmptyDepartmentTableGoesOnlyWhenTheOperatorSaysSo)
{
    const RegisterCommandResult leftOut = Run(RegisterCommandKind::Download, kPLU | kDepartment);
    EXPECT_TRUE(leftOut.Succeeded()) << qPrintable(leftOut.result.message);
    EXPECT_EQ(frontEnd.questions, 1);
    EXPECT_EQ(frontEnd.notices, QStringList{"The department table holds no named department: it is not sent."});
    EXPECT_TRUE(link.Sent(kDepartmentsPackage).empty());
    EXPECT_FALSE(link.Sent(13).empty()) << "the PLUs still go";

    const RegisterCommandResult alone = Run(RegisterCommandKind::Download, kDepartment);
    EXPECT_EQ(alone.result.outcome, TransferResult::Outcome::Refused);
    EXPECT_EQ(alone.result.message, "Nothing was sent: the department table holds no named department.");

    frontEnd.sendEmpty = true;
    EXPECT_TRUE(Run(RegisterCommandKind::Download, kDepartment).Succeeded());
    EXPECT_EQ(link.Sent(kDepartmentsPackage).size(), 2u);

    // One named department is a table worth sending without a question.
    frontEnd.questions = 0;
    departments.SetCell(DeptmentColumn::Name, 9, QStringLiteral("Deposit"));
    EXPECT_TRUE(Run(RegisterCommandKind::Download, kDepartment).Succeeded());
    EXPECT_EQ(frontEnd.questions, 0);
}

TEST_F(RegisterCommandTest, AnUploadReplacesOnlyWhatItReadAndOnlyOnceItSucceeded)
{
    departments.SetCell(DeptmentColumn::Name, 1, QStringLiteral("Mine"));
    link.failExchange = 2;   // the first department request, after the status
    const RegisterCommandResult failed = Run(RegisterCommandKind::Upload, kDepartment);
    EXPECT_EQ(failed.result.outcome, TransferResult::Outcome::Failed);
    EXPECT_EQ(frontEnd.changes, 0);
    EXPECT_EQ(departments.Cell(DeptmentColumn::Name, 1), "Mine");

    link.failExchange = 0;
    link.exchanges.clear();
    const RegisterCommandResult done = Run(RegisterCommandKind::Upload, kDepartment);
    ASSERT_TRUE(done.Succeeded()) << qPrintable(done.result.message);
    EXPECT_EQ(frontEnd.changes, 1) << "one change, one undo step";
    EXPECT_EQ(departments.Cell(DeptmentColumn::Name, 1), "Register 1");
    EXPECT_EQ(departments.Cell(DeptmentColumn::Name, 9), "Register 9");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 2), "Mine 2") << "the PLU table was not read";

    // PLUs 2-3 only: PLU 1 keeps its name, the rows read are the register's.
    const RegisterCommandRequest request{
        RegisterCommandKind::Upload, {QStringLiteral("COM1"), 0, kPLU, {2, 3}}, false, false};
    ASSERT_TRUE(RegisterCommand(link, progress, frontEnd).Run(request, {plu, departments, QString()}).Succeeded());
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 1), "Mine 1");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 2), QString());
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 3), QString());
    EXPECT_EQ(departments.Cell(DeptmentColumn::Name, 1), "Register 1");
}

// An upload that stops half-way leaves in the document what it read, as one
// change, and says where it stopped; quantities and totals stay until the
// totals were read.
TEST_F(RegisterCommandTest, AStoppedUploadKeepsTheRowsReadAndSaysWhere)
{
    const auto upload = [this] {
        const RegisterCommandRequest request{
            RegisterCommandKind::Upload, {QStringLiteral("COM1"), 0, kPLU | kDepartment, {1, 12}}, false, false};
        return RegisterCommand(link, progress, frontEnd).Run(request, {plu, departments, QString()});
    };
    for (int n = 1; n <= 12; ++n) {
        plu.SetCell(PLUColumn::Name, n, QStringLiteral("Mine %1").arg(n));
        plu.SetCell(PLUColumn::Quantity, n, QStringLiteral("5"));
    }
    link.failExchange = 3;   // status, PLUs 1-4, then PLUs 5-8
    const RegisterCommandResult failed = upload();
    EXPECT_EQ(failed.leftText, "Upload failed after PLU 4: the rest of the table keeps its earlier contents");
    EXPECT_EQ(frontEnd.changes, 1);
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 4), QString()) << "read from the register";
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 5), "Mine 5");
    EXPECT_EQ(plu.Cell(PLUColumn::Quantity, 4), "5") << "the totals were not read";

    link.failExchange = 0;
    link.exchanges.clear();
    link.beforeExchange = [this](int exchange) {
        if (exchange == 2)
            progress.PressCancel();
    };
    const RegisterCommandResult cancelled = upload();
    EXPECT_EQ(cancelled.result.outcome, TransferResult::Outcome::Cancelled);
    EXPECT_EQ(cancelled.leftText,
              "Upload cancelled before the first PLU was read: the document keeps its earlier contents");
    EXPECT_EQ(frontEnd.changes, 1) << "nothing read, nothing changed";
    EXPECT_TRUE(cancelled.causeText.isEmpty());
}

// A download that stops says what the register holds now, from the PLU
// packages it acknowledged and the tables sent completely.
TEST_F(RegisterCommandTest, AStoppedDownloadSaysWhatTheRegisterHolds)
{
    departments.SetCell(DeptmentColumn::Name, 1, QStringLiteral("Food"));
    const auto download = [this](int failAt) {
        link.failExchange = failAt;
        link.exchanges.clear();
        const RegisterCommandRequest request{
            RegisterCommandKind::Download, {QStringLiteral("COM1"), 0, kPLU | kDepartment, {1, 12}}, false, false};
        return RegisterCommand(link, progress, frontEnd).Run(request, {plu, departments, QString()}).leftText;
    };
    // Exchange 1 is the status, 2-5 carry PLUs 1-12, 6-7 the departments.
    EXPECT_EQ(download(2), "Nothing was sent; the register keeps what it held — send again, or Compare");
    EXPECT_EQ(download(4), "PLUs 1–6 were sent; the register keeps its earlier PLUs from 7 on and its earlier "
                           "departments — send again, or Compare");
    EXPECT_EQ(download(6), "PLUs 1–12 were sent; the register keeps its earlier departments — send again, or Compare");
    EXPECT_EQ(download(0), QString());
}

// The cause the link knew is shown below the step's error, kept in the result
// and told in words; a cancel has none; success is one sentence.
TEST_F(RegisterCommandTest, TheCauseOfAFailureAndTheSentenceOfASuccess)
{
    link.failure = {LinkFailure::Cause::Refused, 7, 800};
    link.failExchange = 2;
    const RegisterCommandResult refused = Run(RegisterCommandKind::Download, kPLU);
    EXPECT_EQ(refused.result.cause.kind, FailureCause::Kind::Refused);
    EXPECT_EQ(refused.causeText, "The register refused the package (NAK).");
    EXPECT_EQ(progress.statuses.back(), "E:Download:PLU...Error!");
    EXPECT_EQ(progress.causes, QStringList{"The register refused the package (NAK)."});

    link.failure = {LinkFailure::Cause::NoAnswer, 7, 800};
    link.exchanges.clear();
    EXPECT_EQ(Run(RegisterCommandKind::Upload, kPLU).causeText, "The register did not answer (7 tries, 0.8 s apart).");

    link.failExchange = 0;
    link.failure = {};
    departments.SetCell(DeptmentColumn::Name, 1, QStringLiteral("Food"));
    const RegisterCommandResult done = Run(RegisterCommandKind::Download, kPLU | kDepartment);
    ASSERT_TRUE(done.Succeeded());
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^Download finished: 3 PLUs and 9 departments in \d+ s \(COM1, 9600 bit/s\)$)"))
                    .match(done.doneText)
                    .hasMatch())
        << qPrintable(done.doneText);
    EXPECT_TRUE(Run(RegisterCommandKind::Upload, kDepartment).doneText.startsWith("Upload finished: 9 departments in "));
    EXPECT_TRUE(Run(RegisterCommandKind::Compare, kPLU).doneText.startsWith("Compare finished: "));
}

// A port that cannot be opened is explained by what the connection check finds.
TEST_F(RegisterCommandTest, APortThatDidNotOpenGetsTheConnectionChecksRemedy)
{
    FailureCause cause;
    cause.kind = FailureCause::Kind::PortUnavailable;
    cause.reason = QStringLiteral("/nowhere/tty does not exist.");
    EXPECT_EQ(CommandCauseText(cause, QStringLiteral("/nowhere/tty")),
              "The port could not be opened: /nowhere/tty does not exist. Plug in the cable, or map the port to a "
              "device present (Communication > Setting..., or --port PATH).");
    link.openFails = true;
    const RegisterCommandResult result = Run(RegisterCommandKind::Download, kPLU);
    EXPECT_EQ(result.result.outcome, TransferResult::Outcome::PortNotOpened);
    EXPECT_EQ(result.result.cause.kind, FailureCause::Kind::PortUnavailable);
    EXPECT_TRUE(result.leftText.isEmpty()) << "nothing reached the register";
}

} // namespace
