#include "app/TextViewer.h"

#include "app/LanguageFile.h"
#include "model/Language.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// A listing of a whole memory is a few megabytes; more is not read into
// the window.
constexpr qint64 MaxShownBytes = 64 * 1024 * 1024;

QString ReadShownText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Tr("TextViewer", "CannotRead", "%1 cannot be read: %2.").arg(path, file.errorString());
    QString text = QString::fromLocal8Bit(file.read(MaxShownBytes));
    if (!file.atEnd())
        text += QLatin1Char('\n')
                + Tr("TextViewer", "ShownPart", "(The file goes on; only its first %1 MB are shown.)")
                      .arg(QLocale().toString(MaxShownBytes / (1024 * 1024)));
    return text;
}

} // namespace

UrlOpener DesktopOpener()
{
    return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void OpenInTextViewer(const QString& path, QWidget* parent, const UrlOpener& opener)
{
    const QString viewer = QStandardPaths::findExecutable(QStringLiteral("notepad.exe"));
    if (!viewer.isEmpty() && QProcess::startDetached(viewer, {path}))
        return;
    if (opener(QUrl::fromLocalFile(path)))
        return;
    auto* window = new TTextViewer(path, opener, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

TTextViewer::TTextViewer(const QString& path, const UrlOpener& opener, QWidget* parent)
    : QDialog(parent, Qt::Window), m_path(path), m_opener(opener), m_text(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("TextViewer"));
    setWindowTitle(QFileInfo(path).fileName());
    // The title is the file's name: data, not a text of the program.
    setProperty("languageData", true);

    auto* where = new QLabel(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), this);
    where->setObjectName(QStringLiteral("PathLBL"));
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    where->setProperty("languageData", true);

    m_text->setObjectName(QStringLiteral("ViewerText"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setPlainText(ReadShownText(path));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* folder = buttons->addButton(QStringLiteral("Show &folder"), QDialogButtonBox::ActionRole);
    folder->setObjectName(QStringLiteral("FolderButton"));
    connect(folder, &QPushButton::clicked, this, &TTextViewer::ShowFolder);
    QPushButton* close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addWidget(m_text, 1);
    layout->addWidget(buttons);
    resize(720, 560);
    TranslateWindow(*this);
}

void TTextViewer::ShowFolder()
{
    const QFileInfo file(m_path);
    if (m_opener(QUrl::fromLocalFile(file.absolutePath())))
        return;
    auto* folder = new QFileDialog(this, Tr("TextViewer", "FolderTitle", "Folder of %1").arg(file.fileName()),
                                   file.absolutePath());
    folder->setObjectName(QStringLiteral("FolderDialog"));
    folder->setOption(QFileDialog::DontUseNativeDialog);
    folder->setFileMode(QFileDialog::AnyFile);
    folder->selectFile(file.fileName());
    folder->setAttribute(Qt::WA_DeleteOnClose);
    folder->show();
}
