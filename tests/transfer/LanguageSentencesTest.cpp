#include "FakeTransferLink.h"
#include "RecordingProgress.h"

#include "commands/CommandReport.h"
#include "commands/RegisterCommand.h"
#include "doctor/ConnectionDoctor.h"
#include "doctor/DeviceAccess.h"
#include "model/Defs.h"
#include "model/Texts.h"
#include "model/Language.h"
#include "model/TextTable.h"
#include "transfer/DownloadChanges.h"
#include "transfer/FailureCause.h"
#include "transfer/Upload.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <tuple>

namespace {

using Outcome = TransferResult::Outcome;
using Entry = std::tuple<const char*, const char*, const char*>;

constexpr unsigned kTables = TableBit(TransferTable::PLU) | TableBit(TransferTable::Department);

// The sentences worded in core, read in another language; with none installed
// they stay the English ones plu-cli prints.
class LanguageSentencesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetTexts();
        request.port = PortNameFor(2);
        request.baudIndex = 4;
        request.selection = kTables;
        request.range = {1, 3000};
    }
    void TearDown() override
    {
        Language::Install({});
        QLocale::setDefault(QLocale::c());
        ResetTexts();
    }

    static void Use(std::initializer_list<Entry> entries)
    {
        QHash<QString, QString> texts;
        for (const auto& [section, key, text] : entries)
            texts.insert(Language::Slot(QString::fromLatin1(section), QString::fromLatin1(key)),
                         QString::fromUtf8(text));
        Language::Install(texts);
    }

    RegisterCommandResult Done(qint64 elapsedMs) const
    {
        RegisterCommandResult result;
        result.result.outcome = Outcome::Done;
        result.elapsedMs = elapsedMs;
        return result;
    }

    TransferRequest request;
    FakeTransferLink link;
    RecordingProgress progress;
};

TEST_F(LanguageSentencesTest, FailedStepShowsTheTranslatedStatusAndCauseWithItsNumbers)
{
    Use({{"StepStatus", "Failed", "%1... Fehler!"},
         {"FailureCause", "NoAnswer", "Die Kasse hat nicht geantwortet (%1 Versuche im Abstand von %2 s)."}});
    link.logInFails = true;
    link.failure = {LinkFailure::Cause::NoAnswer, 3, 800};
    TextTable plu(TableKind::PLU);
    TextTable departments(TableKind::Department);

    const TransferResult result = UploadTables(link, progress, request, {plu, departments, QString()});

    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(progress.statuses.last(), "E:Connect... Fehler!");
    EXPECT_EQ(progress.causes, QStringList{"Die Kasse hat nicht geantwortet (3 Versuche im Abstand von 0.8 s)."});
}

TEST_F(LanguageSentencesTest, CommandNoticeKeepsItsNumbersInPlaceAndInPlainDigits)
{
    RegisterCommandRequest command;
    command.transfer = request;
    const RegisterCommandResult result = Done(27'000);
    EXPECT_EQ(CommandDoneText(command, result),
              "Download finished: 3000 PLUs and 9 departments in 27 s (COM2, 115200 bit/s)");

    Use({{"CommandReport", "DownloadDone", "Senden an die Kasse beendet: %1 %2"},
         {"CommandReport", "PLUs", "%1 PLUs"},
         {"CommandReport", "PLUsOne", "1 PLU"},
         {"CommandReport", "Departments", "%1 Warengruppen"},
         {"CommandReport", "ListAnd", "%1 und %2"},
         {"CommandReport", "Line", "%1, %2 Bit/s"}});
    // Scripts read the same sentences from plu-cli: no grouping of digits.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(CommandDoneText(command, result),
              "Senden an die Kasse beendet: 3000 PLUs und 9 Warengruppen in 27 s (COM2, 115200 Bit/s)");

    command.transfer.range = {5, 5};
    command.transfer.selection = TableBit(TransferTable::PLU);
    EXPECT_EQ(CommandDoneText(command, result), "Senden an die Kasse beendet: 1 PLU in 27 s (COM2, 115200 Bit/s)");
}

TEST_F(LanguageSentencesTest, UploadThatStoppedSaysWhetherItWasCancelledOrFailed)
{
    Use({{"CommandReport", "UploadCancelledAfterPLU", "Lesen abgebrochen nach PLU %1"},
         {"CommandReport", "UploadFailedAfterPLU", "Lesen fehlgeschlagen nach PLU %1"},
         {"CommandReport", "RestKept", "%1: Der Rest der Tabelle bleibt"}});
    TransferResult result;
    result.reach.lastPlu = 480;
    result.outcome = Outcome::Cancelled;
    EXPECT_EQ(UploadLeftText(request, result), "Lesen abgebrochen nach PLU 480: Der Rest der Tabelle bleibt");
    result.outcome = Outcome::Failed;
    EXPECT_EQ(UploadStopText(request, result), "Lesen fehlgeschlagen nach PLU 480");
}

TEST_F(LanguageSentencesTest, TranslationWithOtherPlaceholdersIsRefusedOnceAndEnglishShown)
{
    Use({{"FailureCause", "NoAnswer", "Die Kasse hat nicht geantwortet (%1 Versuche)."}});
    FailureCause cause;
    cause.kind = FailureCause::Kind::NoAnswer;
    cause.tries = 3;
    cause.intervalMs = 1000;

    EXPECT_EQ(CauseText(cause), "The register did not answer (3 tries, 1 s apart).");
    EXPECT_EQ(CauseText(cause), "The register did not answer (3 tries, 1 s apart).");
    EXPECT_EQ(Language::Problems().size(), 1);
    EXPECT_TRUE(Language::Problems().value(0).startsWith("[FailureCause] NoAnswer"))
        << Language::Problems().value(0).toStdString();
}

TEST_F(LanguageSentencesTest, DoctorMarksMakeAColumnAsWideAsTheLongestOne)
{
    const DoctorLine failed{DoctorLine::Mark::Fail, "COM2 (/dev/ttyUSB0) does not exist.", "Plug in the cable."};
    const DoctorLine info{DoctorLine::Mark::Info, "COM1 = /dev/ttyS0", {}};
    EXPECT_EQ(DoctorLineText(failed), "FAIL COM2 (/dev/ttyUSB0) does not exist.\n       -> Plug in the cable.");
    EXPECT_EQ(DoctorLineText(info), "     COM1 = /dev/ttyS0");

    Use({{"ConnectionDoctor", "MarkFail", "FEHLER"}, {"ConnectionDoctor", "MarkWarn", "WARNUNG"}});
    EXPECT_EQ(DoctorLineText(failed),
              "FEHLER  COM2 (/dev/ttyUSB0) does not exist.\n          -> Plug in the cable.");
    EXPECT_EQ(DoctorLineText(info), "        COM1 = /dev/ttyS0");
}

TEST_F(LanguageSentencesTest, DoctorRemedyTakesTheGroupNameAtEveryPlace)
{
    DeviceAccess access;
    access.group = QStringLiteral("dialout");
    Use({{"ConnectionDoctor", "NotInGroup",
          "Es gehört der Gruppe „%1“. Fügen Sie sich hinzu: sudo usermod -aG %1 $USER"}});
    EXPECT_EQ(AccessRemedy(access), "Es gehört der Gruppe „dialout“. Fügen Sie sich hinzu: sudo usermod -aG dialout $USER");
}

TEST_F(LanguageSentencesTest, StaleStateNoticeAgreesWithTheNumberOfTables)
{
    ChangesReport report;
    report.differingRecord = QStringLiteral("PLU 57");
    request.selection = TableBit(TransferTable::PLU);
    EXPECT_EQ(StaleStateNotice(report, request),
              "The register at COM2 does not hold what was last seen there (PLU 57 differs): the PLU table was sent "
              "in full.");
    request.selection = kTables;
    EXPECT_EQ(StaleStateNotice(report, request),
              "The register at COM2 does not hold what was last seen there (PLU 57 differs): the PLU and department "
              "tables were sent in full.");
}

} // namespace
