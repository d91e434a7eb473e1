#include "app/UserGuide.h"

#include "app/LanguageFile.h"
#include "model/Language.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

TUserGuide::TUserGuide(QWidget* parent)
    : QDialog(parent, Qt::Window), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("UserGuide"));
    setWindowTitle(QStringLiteral("User guide"));
    m_browser->setObjectName(QStringLiteral("GuideBrowser"));
    m_browser->setOpenExternalLinks(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addWidget(buttons);
    resize(760, 640);
    TranslateWindow(*this);
}

QString TUserGuide::FileName()
{
    return QStringLiteral("user-guide.md");
}

void TUserGuide::Load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_browser->setPlainText(
            Tr("UserGuide", "CannotRead", "The user guide %1 cannot be read: %2.")
                .arg(QFileInfo(path).absoluteFilePath(), file.errorString())
            + QStringLiteral("\n\n")
            + Tr("UserGuide", "ManualPages",
                 "The manual pages plu-manager(1), plu-cli(1) and ecr-sim(1) describe the programs too."));
        return;
    }
    // Pictures and links the guide names are taken from its own folder.
    m_browser->setSearchPaths({QFileInfo(path).absolutePath()});
    m_browser->setMarkdown(QString::fromUtf8(file.readAll()));
}
