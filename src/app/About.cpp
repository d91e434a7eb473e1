#include "app/About.h"

#include "app/LanguageFile.h"
#include "config/BuildInfo.h"
#include "model/Language.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int IconSize = 48;
constexpr int ProblemLines = 6;
constexpr int ProblemColumns = 72;

QLabel* AddLabel(QWidget* parent, QGridLayout* grid, int row, const QString& name,
                 const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    grid->addWidget(label, row, 1);
    return label;
}

} // namespace

TAboutBox::TAboutBox(const QString& owner, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About..."));
    setModal(true);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* grid = new QGridLayout(panel);
    grid->setHorizontalSpacing(16);
    grid->setColumnStretch(1, 1);

    auto* picture = new QLabel(panel);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setPixmap(ProgramIcon().pixmap(IconSize, IconSize));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    grid->addWidget(picture, 0, 0, 6, 1);

    QLabel* title = AddLabel(panel, grid, 0, QStringLiteral("ProductName"),
                             QStringLiteral("TQR716 PLU manager"));
    title->setProperty("languageData", true);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    title->setFont(titleFont);
    // Texts with numbers in them are written when the box is shown, in the
    // language loaded by then (see showEvent).
    m_version = AddLabel(panel, grid, 1, QStringLiteral("Version"), QString());
    AddLabel(panel, grid, 2, QStringLiteral("Copyright"), QStringLiteral("2003"))->setProperty("languageData", true);
    AddLabel(panel, grid, 3, QStringLiteral("Comments"), QStringLiteral("Build 20030819"));
    // The day of the build the operator runs, beside the original's build line.
    m_buildDate = AddLabel(panel, grid, 4, QStringLiteral("BuildDateLBL"), QString());
    AddLabel(panel, grid, 5, QStringLiteral("OwnerLBL"), owner)->setProperty("languageData", true);

    m_problemsLabel = new QLabel(QStringLiteral("&Translations of the language file that are not used:"), this);
    m_problemsLabel->setObjectName(QStringLiteral("ProblemsLbl"));
    m_problems = new QPlainTextEdit(this);
    m_problems->setObjectName(QStringLiteral("ProblemsText"));
    m_problems->setReadOnly(true);
    // Room for a problem line or two at a glance; more scroll.
    m_problems->setMinimumWidth(m_problems->fontMetrics().averageCharWidth() * ProblemColumns);
    m_problems->setFixedHeight(m_problems->fontMetrics().lineSpacing() * ProblemLines);
    m_problemsLabel->setBuddy(m_problems);

    auto* okButton = new QPushButton(QStringLiteral("&OK"), this);
    okButton->setObjectName(QStringLiteral("OKButton"));
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(m_problemsLabel);
    layout->addWidget(m_problems);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    TranslateWindow(*this);
    ShowLanguageProblems();
}

void TAboutBox::showEvent(QShowEvent* event)
{
    m_version->setText(Tr("AboutBox", "Version.Caption", "Version %1").arg(BuildInfo::Version()));
    m_buildDate->setText(Tr("AboutBox", "BuildDateLBL.Caption", "Built on %1").arg(BuildInfo::BuildDate()));
    ShowLanguageProblems();
    QDialog::showEvent(event);
}

// Refused translations are found when the file is read and when a text is
// first looked up, so the list is taken again each time the box is shown.
void TAboutBox::ShowLanguageProblems()
{
    const QStringList problems = Language::Problems();
    m_problems->setPlainText(problems.join(QLatin1Char('\n')));
    m_problemsLabel->setVisible(!problems.isEmpty());
    m_problems->setVisible(!problems.isEmpty());
}

QIcon TAboutBox::ProgramIcon()
{
    // The installed icon where the icon theme has it; a stock one otherwise.
    return QIcon::fromTheme(QStringLiteral("tqr716-plu-manager"),
                            QApplication::style()->standardIcon(QStyle::SP_ComputerIcon));
}
