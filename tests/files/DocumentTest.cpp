#include "files/Document.h"
#include "files/DocumentLock.h"
#include "files/FileError.h"
#include "model/Defs.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"
#include "support/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

// A file that a rename cannot replace while this object lives, though new
// files beside it can be made: a mount point (a file bound over it), or,
// where mounting is not allowed, an immutable file. Both work as root, as CI
// runs; Problem() says why neither did.
class UnreplaceableFile
{
public:
    explicit UnreplaceableFile(const QString& path) : path_(QFile::encodeName(path)), source_(path_ + ".bound")
    {
        if (::close(::open(source_.constData(), O_WRONLY | O_CREAT, 0644)) == 0
            && ::mount(source_.constData(), path_.constData(), nullptr, MS_BIND, nullptr) == 0) {
            mounted_ = true;
            return;
        }
        ::unlink(source_.constData());
        const int fd = ::open(path_.constData(), O_RDONLY);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            immutable_ = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        if (fd >= 0)
            ::close(fd);
    }
    ~UnreplaceableFile()
    {
        if (mounted_) {
            ::umount2(path_.constData(), MNT_DETACH);
            ::unlink(source_.constData());
        }
        const int fd = immutable_ ? ::open(path_.constData(), O_RDONLY) : -1;
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0)
            ::close(fd);
    }
    UnreplaceableFile(const UnreplaceableFile&) = delete;
    UnreplaceableFile& operator=(const UnreplaceableFile&) = delete;

    bool IsReady() const { return mounted_ || immutable_; }

private:
    QByteArray path_;
    QByteArray source_;
    bool mounted_ = false;
    bool immutable_ = false;
};

const QString kTitle = "TQR716 PLU manager";

class DocumentTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SetDecimalSeparator(u'.');
        ASSERT_TRUE(dir.isValid());
        plu.SetCell(PLUColumn::Name, 7, "Tea");
        dept.SetCell(DeptmentColumn::Name, 2, "Drinks");
        recy.SetCell(RecyColumn::PluNumber, 5, "7");
    }
    void TearDown() override { SetDecimalSeparator(u'.'); }

    QString Path(const QString& name) const { return dir.filePath(name); }

    static QByteArray Bytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    QTemporaryDir dir;
    TextTable plu{TableKind::PLU};
    TextTable dept{TableKind::Department};
    RecyTable recy;
    Document document{plu, dept, recy};
};

} // namespace

TEST_F(DocumentTest, CompanionPaths)
{
    EXPECT_EQ(Document::DepPath("/data/Shop.plu"), "/data/Shop.DEP");
    EXPECT_EQ(Document::RcyPath("a.b.PLU"), "a.b.RCY");
    EXPECT_EQ(Document::DepPath("/da.ta/shop"), "/da.ta/shop.DEP");
}

TEST_F(DocumentTest, SaveAsNamesTheDocumentAndNewForgetsIt)
{
    EXPECT_EQ(document.Caption(), kTitle);
    document.SetModified();
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    document.SaveDocumentAs("Shop.PLU");
    QDir::setCurrent(previous);

    const QString full = QDir(dir.path()).absoluteFilePath("Shop.PLU");
    EXPECT_EQ(document.CurrentFileName(), full);
    EXPECT_EQ(document.Caption(), kTitle + "~[" + full + "]");
    EXPECT_FALSE(document.Modified());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList({"Shop.DEP", "Shop.PLU", "Shop.RCY"}));

    document.SetModified();
    document.ClearDocument();
    EXPECT_EQ(document.CurrentFileName(), "");
    EXPECT_FALSE(document.Modified());
    EXPECT_EQ(document.Caption(), kTitle);
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 7), "");
    EXPECT_EQ(dept.Cell(DeptmentColumn::Name, 2), "");
    EXPECT_EQ(recy, RecyTable());
}

TEST_F(DocumentTest, SaveKeepsTheName)
{
    document.SetModified();
    document.SaveDocument(Path("copy.PLU"));
    EXPECT_FALSE(document.Modified());
    EXPECT_EQ(document.CurrentFileName(), "");
    EXPECT_EQ(document.Caption(), kTitle);
}

TEST_F(DocumentTest, LoadRoundTripAndMissingCompanions)
{
    document.SaveDocumentAs(Path("shop.PLU"));
    document.ClearDocument();
    document.SetModified();
    document.LoadDocument(Path("shop.PLU"));
    EXPECT_FALSE(document.Modified());
    EXPECT_EQ(document.Caption(), kTitle + "~[" + Path("shop.PLU") + "]");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 7), "Tea");  // every row back at its number
    EXPECT_EQ(dept.Cell(DeptmentColumn::Name, 2), "Drinks");
    EXPECT_EQ(recy.Cell(RecyColumn::PluNumber, 5), "7");

    ASSERT_TRUE(QFile::remove(Path("shop.DEP")));
    ASSERT_TRUE(QFile::remove(Path("shop.RCY")));
    document.ClearDocument();
    document.LoadDocument(Path("shop.PLU"));
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 7), "Tea");
    EXPECT_EQ(dept.Cell(DeptmentColumn::Name, 2), "");
    EXPECT_EQ(recy, RecyTable());
}

TEST_F(DocumentTest, FailuresKeepModifiedAndTheCaption)
{
    document.SaveDocumentAs(Path("first.PLU"));
    document.SetModified();
    // The name is taken before writing; the caption changes only on success.
    EXPECT_THROW(document.SaveDocumentAs(Path("no/folder/shop.PLU")), FileError);
    EXPECT_TRUE(document.Modified());
    EXPECT_EQ(document.CurrentFileName(), Path("no/folder/shop.PLU"));
    EXPECT_EQ(document.Caption(), kTitle + "~[" + Path("first.PLU") + "]");

    document.SaveDocument(Path("second.PLU"));
    ASSERT_TRUE(QFile::remove(Path("second.RCY")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("second.RCY"));
    document.SetModified();
    EXPECT_THROW(document.LoadDocument(Path("second.PLU")), FileError);
    EXPECT_EQ(document.CurrentFileName(), Path("second.PLU"));
    EXPECT_EQ(document.Caption(), kTitle + "~[" + Path("first.PLU") + "]");
    EXPECT_TRUE(document.Modified());
}

TEST_F(DocumentTest, CompanionsAreFoundWhateverTheCaseOfTheirExtension)
{
    document.SaveDocument(Path("tmp.PLU"));
    ASSERT_TRUE(QFile::rename(Path("tmp.PLU"), Path("shop.plu")));
    ASSERT_TRUE(QFile::rename(Path("tmp.DEP"), Path("shop.dep")));
    ASSERT_TRUE(QFile::rename(Path("tmp.RCY"), Path("shop.Rcy")));
    EXPECT_EQ(Document::DepPath(Path("shop.plu")), Path("shop.dep"));
    EXPECT_EQ(Document::RcyPath(Path("shop.plu")), Path("shop.Rcy"));
    EXPECT_EQ(Document::DepPath(Path("SHOP.plu")), Path("SHOP.DEP")) << "the base name keeps its case";

    document.ClearDocument();
    document.LoadDocument(Path("shop.plu"));
    EXPECT_EQ(dept.Cell(DeptmentColumn::Name, 2), "Drinks");
    EXPECT_EQ(recy.Cell(RecyColumn::PluNumber, 5), "7");
    dept.SetCell(DeptmentColumn::Name, 2, "Tea and coffee");
    document.SaveDocument(Path("shop.plu"));
    QStringList files = QDir(dir.path()).entryList(QDir::Files);
    files.sort();
    EXPECT_EQ(files, QStringList({"shop.Rcy", "shop.dep", "shop.plu"}));
    EXPECT_TRUE(Bytes(Path("shop.dep")).contains("Tea and coffee"));
}

TEST_F(DocumentTest, AFullDiskLeavesAllThreeFilesAsTheyWere)
{
    FullDisk disk;
    ASSERT_TRUE(disk.IsReady()) << disk.Problem().toStdString();
    const QString path = disk.Path("shop.PLU");
    document.SaveDocument(path);
    const QByteArray plu0 = Bytes(path), dep0 = Bytes(Document::DepPath(path)), rcy0 = Bytes(Document::RcyPath(path));
    plu.SetCell(PLUColumn::Name, 1, "New");
    dept.SetCell(DeptmentColumn::Name, 1, "New");
    recy.SetCell(RecyColumn::PluNumber, 1, "1");
    document.SetModified();
    disk.Fill();
    try {
        document.SaveDocument(path);
        ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
        EXPECT_TRUE(error.Message().contains(disk.Reason())) << error.Message().toStdString();
    }
    EXPECT_TRUE(document.Modified());
    EXPECT_EQ(Bytes(path), plu0);
    EXPECT_EQ(Bytes(Document::DepPath(path)), dep0);
    EXPECT_EQ(Bytes(Document::RcyPath(path)), rcy0);
}

TEST_F(DocumentTest, AFailedRenameNamesTheFilesAlreadyReplaced)
{
    const QString path = Path("shop.PLU");
    document.SaveDocument(path);
    const QByteArray rcy0 = Bytes(Path("shop.RCY"));
    plu.SetCell(PLUColumn::Name, 1, "New");
    dept.SetCell(DeptmentColumn::Name, 1, "New");
    recy.SetCell(RecyColumn::PluNumber, 1, "1");
    {
        UnreplaceableFile stuck(Path("shop.RCY"));
        if (!stuck.IsReady())
            GTEST_SKIP() << "neither a bind mount nor an immutable file is allowed here";
        try {
            document.SaveDocument(path);
            ADD_FAILURE() << "no error";
        } catch (const FileError& error) {
            EXPECT_EQ(error.Path(), Path("shop.RCY"));
            EXPECT_TRUE(error.Message().endsWith("; already replaced: " + path + ", " + Path("shop.DEP")))
                << error.Message().toStdString();
        }
    }
    EXPECT_TRUE(Bytes(path).contains("New"));
    EXPECT_TRUE(Bytes(Path("shop.DEP")).contains("New"));
    EXPECT_EQ(Bytes(Path("shop.RCY")), rcy0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"shop.DEP", "shop.PLU", "shop.RCY"})) << "no temporary file is left";
}

// Names are bytes: a file named in Latin-1, or a link leading to one, is
// read and replaced under its own name, and nothing else is made beside it.
TEST_F(DocumentTest, NamesThatAreNotUtf8AreWorkedOnAsThemselves)
{
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray latin1 = folder + "/K\xC4SE.PLU";
    const int fd = ::open(latin1.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "old\r\n", 5), 5);
    ::close(fd);
    const int dep = ::open((folder + "/K\xC4SE.dep").constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::write(dep, "Fruit\t1\t0.50\r\n", 15), 15);
    ::close(dep);
    ASSERT_EQ(::symlink("K\xC4SE.PLU", QFile::encodeName(Path("shop.PLU")).constData()), 0);

    // Through the link: its target is replaced, the link stays.
    document.SaveDocument(Path("shop.PLU"));
    EXPECT_EQ(QFileInfo(Path("shop.PLU")).isSymLink(), true);
    const FilePath raw = FilePath::FromBytes(latin1);
    EXPECT_TRUE(ReadFileBytes(raw).value_or("").contains("Tea"));

    // By its own name, passed on as text: the same bytes, and its companion
    // in another case is found.
    TextTable loaded{TableKind::PLU};
    TextTable loadedDept{TableKind::Department};
    RecyTable loadedRecy;
    Document again(loaded, loadedDept, loadedRecy);
    again.LoadDocument(raw.Text());
    EXPECT_EQ(FilePath(again.CurrentFileName()).Bytes(), latin1);
    EXPECT_EQ(loaded.Cell(PLUColumn::Name, 7), "Tea");
    EXPECT_EQ(loadedDept.Cell(DeptmentColumn::Name, 1), "Fruit");
    loaded.SetCell(PLUColumn::Name, 8, "Milk");
    again.SaveDocumentAs(again.CurrentFileName());
    EXPECT_TRUE(ReadFileBytes(raw).value_or("").contains("Milk"));

    QList<QByteArray> names;
    DIR* entries = ::opendir(folder.constData());
    while (const dirent* entry = ::readdir(entries)) {
        if (entry->d_name[0] != '.')
            names << entry->d_name;
    }
    ::closedir(entries);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (QList<QByteArray>{"K\xC4SE.PLU", "K\xC4SE.RCY", "K\xC4SE.dep", "shop.DEP", "shop.PLU", "shop.RCY"}));
    EXPECT_EQ(FilePath::FromBytes(latin1).Shown(), dir.path() + QStringLiteral("/K\u00C4SE.PLU"));
}

TEST_F(DocumentTest, SavesWaitForTheDocumentLockAndNameItsHolder)
{
    const QString path = Path("shop.PLU");
    document.SaveDocumentAs(path);
    {
        // Another command holds the document: a save waits, then says who.
        const DocumentLock other(path);
        ASSERT_TRUE(other.Held());
        const DocumentLock second(path, std::chrono::milliseconds(300));
        EXPECT_FALSE(second.Held());
        EXPECT_TRUE(second.Holder().contains(QStringLiteral("(process %1)").arg(::getpid())))
            << second.Holder().toStdString();
        plu.SetCell(PLUColumn::Name, 9, "Lost?");
        EXPECT_THROW(document.SaveDocument(path), FileError);
        EXPECT_FALSE(Bytes(path).contains("Lost?"));
    }
    // A document locked for a command saves under its own lock.
    ASSERT_TRUE(document.Lock(path).isEmpty());
    const DocumentLock meanwhile(path, std::chrono::milliseconds(0));
    EXPECT_FALSE(meanwhile.Held());
    document.SaveDocument(path);
    EXPECT_TRUE(Bytes(path).contains("Lost?"));
    document.Unlock();

    // While there is no file yet, its folder stands in for it.
    {
        const DocumentLock fresh(Path("new.PLU"));
        ASSERT_TRUE(fresh.Held());
        EXPECT_FALSE(DocumentLock(Path("new.PLU"), std::chrono::milliseconds(0)).Held());
        EXPECT_TRUE(DocumentLock(path, std::chrono::milliseconds(0)).Held()) << "another document is free";
    }

    // A table the command was not given is not written.
    document.SaveDocument(Path("plus.PLU"), Document::Files::WithoutDepartments);
    EXPECT_FALSE(QFile::exists(Path("plus.DEP")));
    EXPECT_TRUE(QFile::exists(Path("plus.RCY")));
}
