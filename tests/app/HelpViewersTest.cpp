// Help > Contents and the program's own text viewer.
#include "app/Main.h"
#include "app/TextViewer.h"
#include "app/UserGuide.h"

#include "AppTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>

namespace {

QString ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class HelpViewersTest : public ProgramDirFixture
{
protected:
    TMainForm& Form()
    {
        if (!m_form) {
            m_form = std::make_unique<TMainForm>(&messages, &dialogs);
            m_form->CreateWindows(QStringLiteral("Shop"));
        }
        return *m_form;
    }
    void TearDown() override
    {
        m_form.reset();
        ProgramDirFixture::TearDown();
    }
    TUserGuide* OpenContents()
    {
        auto* contents = Form().findChild<QAction*>(QStringLiteral("ContentItem"));
        if (contents == nullptr)
            return nullptr;
        contents->trigger();
        return Form().findChild<TUserGuide*>();
    }

    RecordingMessageBox messages;
    FakeFileDialogs dialogs;
    std::unique_ptr<TMainForm> m_form;
};

TEST_F(HelpViewersTest, HelpContentsShowsTheGuideFromTheProgramsFolderInAWindowOfItsOwn)
{
    WriteFile(QStringLiteral("user-guide.md"), "# Daily routine\n\nEdit, *compare*, send the changes.\n");
    TUserGuide* guide = OpenContents();
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    EXPECT_FALSE(guide->isModal());
    EXPECT_EQ(guide->windowTitle(), "User guide");
    // Markdown, not its source.
    EXPECT_EQ(guide->Browser().toPlainText(), "Daily routine\nEdit, compare, send the changes.");

    // Opened again: the same window, read again.
    WriteFile(QStringLiteral("user-guide.md"), "# Newer\n");
    guide->close();
    EXPECT_EQ(OpenContents(), guide);
    EXPECT_TRUE(guide->isVisible());
    EXPECT_EQ(guide->Browser().toPlainText(), "Newer");
}

TEST_F(HelpViewersTest, AMissingGuideSaysWhereItWasLookedFor)
{
    TUserGuide* guide = OpenContents();
    ASSERT_NE(guide, nullptr);
    const QString text = guide->Browser().toPlainText();
    EXPECT_TRUE(text.contains(FilePath(QStringLiteral("user-guide.md")))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("plu-manager(1)"))) << text.toStdString();
}

// The guide the build puts beside the programs is the shipped one, and it
// covers what an operator looks for.
TEST_F(HelpViewersTest, TheBuildTreeHoldsTheShippedGuideWithEveryTopic)
{
    const QString built = ReadAll(QStringLiteral(PLU_DEFAULT_BIN_DIR "/user-guide.md"));
    EXPECT_EQ(built, ReadAll(QStringLiteral(PLU_SOURCE_DIR "/docs/user-guide.md")));
    for (const char* topic : {"## The daily routine", "Download changes...", "Compare with register...",
                              "File > Print labels... (Ctrl+L)", "Reports > Sales...", "## Hidden service keys",
                              "Ctrl+Shift+Alt+F6", "## Connection trouble", "Connection check...", "dialout",
                              "## Where files live", "~/.config/tqr716-plu-manager/"})
        EXPECT_TRUE(built.contains(QLatin1String(topic))) << topic;
}

TEST_F(HelpViewersTest, AListingTheDesktopCannotOpenShowsInTheProgramsViewerWithItsFolder)
{
    WriteFile(QStringLiteral("ROM.TXT"), "0000: 00 01 02 03\n0010: FF FE FD FC\n");
    const QString path = FilePath(QStringLiteral("ROM.TXT"));
    QWidget parent;
    QList<QUrl> asked;
    const UrlOpener nothing = [&asked](const QUrl& url) {
        asked << url;
        return false;
    };
    OpenInTextViewer(path, &parent, nothing);
    ASSERT_EQ(asked, QList<QUrl>{QUrl::fromLocalFile(path)});
    auto* viewer = parent.findChild<TTextViewer*>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), "ROM.TXT");
    EXPECT_TRUE(viewer->Text().isReadOnly());
    EXPECT_EQ(viewer->Text().toPlainText(), "0000: 00 01 02 03\n0010: FF FE FD FC\n");
    auto* where = viewer->findChild<QLabel*>(QStringLiteral("PathLBL"));
    ASSERT_NE(where, nullptr);
    EXPECT_EQ(where->text(), QDir::toNativeSeparators(path));

    // The desktop has nothing for folders either: the program shows it.
    auto* folderButton = viewer->findChild<QPushButton*>(QStringLiteral("FolderButton"));
    ASSERT_NE(folderButton, nullptr);
    folderButton->click();
    EXPECT_EQ(asked.last(), QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
    auto* folder = viewer->findChild<QFileDialog*>(QStringLiteral("FolderDialog"));
    ASSERT_NE(folder, nullptr);
    EXPECT_TRUE(folder->isVisible());
    EXPECT_EQ(QFileInfo(folder->directory().absolutePath()), QFileInfo(QFileInfo(path).absolutePath()));
}

TEST_F(HelpViewersTest, AListingTheDesktopOpensMakesNoWindow)
{
    WriteFile(QStringLiteral("ROM.TXT"), "0000: 00\n");
    QWidget parent;
    int calls = 0;
    OpenInTextViewer(FilePath(QStringLiteral("ROM.TXT")), &parent, [&calls](const QUrl&) {
        ++calls;
        return true;
    });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(parent.findChild<TTextViewer*>(), nullptr);

    // And where the desktop shows the folder, no window of the program's own.
    TTextViewer viewer(FilePath(QStringLiteral("ROM.TXT")), [](const QUrl&) { return true; });
    viewer.ShowFolder();
    EXPECT_EQ(viewer.findChild<QFileDialog*>(), nullptr);
}

} // namespace
