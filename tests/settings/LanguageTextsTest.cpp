#include "config/LanguageTexts.h"
#include "model/Language.h"

#include <gtest/gtest.h>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

const QByteArray kCatalogue("[AboutBox]\nVersion.Caption=Version %1\n"
                            "[FindBar]\nCountLbl.Caption=%1 of %2 matches\nDoneLbl.Caption=100%% done\n"
                            "OneLbl.Caption=One match\n");

class LanguageTextsTest : public ::testing::Test
{
protected:
    void TearDown() override { Language::Install({}); }
};

TEST_F(LanguageTextsTest, TranslationsWithOtherPlaceholdersAreRefusedInFileOrder)
{
    LanguageTexts texts = LanguageTexts::FromBytes(
        "[FindBar]\nCountLbl.Caption=%2 von %1 Treffern\nOneLbl.Caption=%1 Treffer\n"
        "DoneLbl.Caption=100%% fertig\n[aboutbox]\nversion.caption=Version\n[Other]\nKey=%7\n");
    const QStringList problems = texts.RefusePlaceholderMismatches(LanguageTexts::FromBytes(kCatalogue));
    ASSERT_EQ(problems.size(), 2);
    EXPECT_EQ(problems[0], "[FindBar] OneLbl.Caption: the translation uses %1 where the English text uses "
                           "none; the English text is shown");
    EXPECT_TRUE(problems[1].startsWith("[aboutbox] version.caption: the translation uses none where the "
                                       "English text uses %1"))
        << problems[1].toStdString();

    const QString kept = QStringLiteral("kept");
    EXPECT_EQ(texts.Text("FindBar", "OneLbl.Caption", kept), kept);
    EXPECT_EQ(texts.Text("AboutBox", "Version.Caption", kept), kept);
    // Reordered placeholders, "%%" and keys the catalogue does not list pass.
    EXPECT_EQ(texts.Text("FindBar", "CountLbl.Caption", kept), "%2 von %1 Treffern");
    EXPECT_EQ(texts.Text("FindBar", "DoneLbl.Caption", kept), "100%% fertig");
    EXPECT_EQ(texts.Text("Other", "Key", kept), "%7");
}

TEST_F(LanguageTextsTest, MissingKeysAreTheCataloguesKeysWithoutAText)
{
    const LanguageTexts catalogue = LanguageTexts::FromBytes(kCatalogue);
    EXPECT_EQ(LanguageTexts::FromBytes("[findbar]\ncountlbl.caption=x\nDoneLbl.Caption=\n").MissingKeys(catalogue),
              (QStringList{"[AboutBox] Version.Caption", "[FindBar] OneLbl.Caption"}));
}

TEST_F(LanguageTextsTest, InstalledProblemsAndLateRefusalsAreReportedOnceOnStandardError)
{
    LanguageTexts texts = LanguageTexts::FromBytes("[AboutBox]\nVersion.Caption=Ausgabe\n"
                                                   "[Late]\nKey=Nur %2\n[FindBar]\nOneLbl.Caption=Ein Treffer\n");
    const QStringList problems = texts.RefusePlaceholderMismatches(LanguageTexts::FromBytes(kCatalogue));
    texts.Install(problems);
    EXPECT_EQ(Language::Problems(), problems);
    EXPECT_EQ(Tr("AboutBox", "Version.Caption", "Version %1"), "Version %1");
    EXPECT_EQ(Tr("FindBar", "OneLbl.Caption", "One match"), "Ein Treffer");

    // A key the catalogue lacks is checked against the English text the
    // program asks with.
    CaptureStderr();
    EXPECT_EQ(Tr("Late", "Key", "Only %1"), "Only %1");
    EXPECT_EQ(Language::Text(u"late", u"KEY", QStringLiteral("Only %1")), "Only %1");
    EXPECT_EQ(Tr("Late", "Key", "Only %2"), "Nur %2");
    const std::string reported = GetCapturedStderr();
    EXPECT_EQ(reported, "plu-manager: [Late] Key: the translation uses %2 where the English text uses %1; "
                        "the English text is shown\n");
    ASSERT_EQ(Language::Problems().size(), 2);
    EXPECT_TRUE(Language::Problems().last().startsWith("[Late] Key:"));

    // Another language starts with its own problems only.
    Language::Install({});
    EXPECT_TRUE(Language::Problems().isEmpty());
}

} // namespace
