#include "app/WidgetFileDialogs.h"

#include "support/ModalDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

class WidgetFileDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        QFile image(m_dir.filePath(QStringLiteral("image.hex")));
        ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    }
    void TearDown() override { QDir::setCurrent(m_previous); }

    QString WorkingDir() const { return QDir(m_dir.path()).canonicalPath(); }

    WidgetFileDialogs dialogs;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

TEST_F(WidgetFileDialogsTest, AFileToSendIsChosenFromTheWorkingDirectoryThroughItsFilter)
{
    QStringList filters;
    QString startDir;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    OnNextModal<QFileDialog>([&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        startDir = QDir(dialog.directory()).canonicalPath();
        mode = dialog.fileMode();
        dialog.selectFile(QStringLiteral("image.hex"));
        static_cast<QDialog&>(dialog).accept();
    });
    const QString chosen = dialogs.ChooseOpenFile({"Binary Files", "*.hex", "hex"});

    EXPECT_EQ(filters, QStringList{"Binary Files (*.hex)"});
    EXPECT_EQ(startDir, WorkingDir());
    EXPECT_EQ(mode, QFileDialog::ExistingFile);
    EXPECT_EQ(QFileInfo(chosen).canonicalFilePath(), WorkingDir() + QStringLiteral("/image.hex"));
    EXPECT_TRUE(QFileInfo(chosen).isAbsolute());

    OnNextModal<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(dialogs.ChooseOpenFile({"Font Files", "*.fnt", "fnt"}), QString());
}

} // namespace
