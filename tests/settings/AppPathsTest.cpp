#include "config/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class AppPathsTest : public ::testing::Test
{
protected:
    void TearDown() override { AppPaths::SetProgramDir(QString()); }

    QString Path(const QString& relative) const { return m_root.filePath(relative); }

    void MakeFile(const QString& relative, const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(Path(relative)).path());
        QFile file(Path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir m_root;
};

TEST_F(AppPathsTest, ABuildTreeOrCopiedFolderKeepsEverythingBesideTheProgram)
{
    QDir().mkpath(Path("build/bin"));
    QDir().mkpath(Path("opt/plu"));
    for (const QString dir : {Path("build/bin"), Path("opt/plu")}) {
        const AppPaths::Layout layout = AppPaths::LayoutFor(dir, Path("xdg"), Path("home"));
        EXPECT_FALSE(layout.installed);
        EXPECT_EQ(layout.filesDir, dir + '/');
        EXPECT_EQ(layout.dataDir, dir + '/');
    }
}

TEST_F(AppPathsTest, AnInstalledProgramKeepsItsFilesInTheConfigurationHome)
{
    QDir().mkpath(Path("usr/bin"));
    QDir().mkpath(Path("usr/share/tqr716-plu-manager"));
    const AppPaths::Layout xdg = AppPaths::LayoutFor(Path("usr/bin"), Path("xdg"), Path("home"));
    EXPECT_TRUE(xdg.installed);
    EXPECT_EQ(xdg.filesDir, Path("xdg/tqr716-plu-manager/"));
    EXPECT_EQ(xdg.dataDir, Path("usr/share/tqr716-plu-manager/"));
    // Unset or relative XDG_CONFIG_HOME: ~/.config.
    for (const QString configHome : {QString(), QStringLiteral("relative/cfg")})
        EXPECT_EQ(AppPaths::LayoutFor(Path("usr/bin"), configHome, Path("home")).filesDir,
                  Path("home/.config/tqr716-plu-manager/"));
}

TEST_F(AppPathsTest, FirstStartCopiesTheDefaultSettingsAndLaterStartsKeepTheOperatorsCopy)
{
    MakeFile("usr/share/tqr716-plu-manager/SYSTEM.CFG", "[Comm]\r\nPort=2\r\n");
    MakeFile("usr/share/tqr716-plu-manager/plu-manager.LNG", "shared");
    QFile::setPermissions(Path("usr/share/tqr716-plu-manager/SYSTEM.CFG"), QFileDevice::ReadOwner);
    QDir().mkpath(Path("usr/bin"));
    const AppPaths::Layout layout = AppPaths::LayoutFor(Path("usr/bin"), Path("xdg"), Path("home"));

    ASSERT_TRUE(AppPaths::PrepareFilesDir(layout));
    QFile copy(Path("xdg/tqr716-plu-manager/SYSTEM.CFG"));
    ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
    EXPECT_EQ(copy.readAll(), "[Comm]\r\nPort=2\r\n");
    copy.write("[Comm]\r\nPort=3\r\n");
    copy.close();
    ASSERT_TRUE(AppPaths::PrepareFilesDir(layout));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_TRUE(copy.readAll().endsWith("Port=3\r\n"));

    AppPaths::UseLayout(layout);
    EXPECT_EQ(AppPaths::SettingsPath(), Path("xdg/tqr716-plu-manager/SYSTEM.CFG"));
    EXPECT_EQ(AppPaths::TracePath(), Path("xdg/tqr716-plu-manager/DEBUG.LOG"));
    EXPECT_EQ(AppPaths::FindReadOnlyFile("plu-manager.LNG"),
              Path("usr/share/tqr716-plu-manager/plu-manager.LNG"));
    MakeFile("xdg/tqr716-plu-manager/plu-manager.LNG", "own");
    EXPECT_EQ(AppPaths::FindReadOnlyFile("plu-manager.LNG"), Path("xdg/tqr716-plu-manager/plu-manager.LNG"));
}

} // namespace
