#include "app/About.h"

#include "config/BuildInfo.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int IconSize = 48;

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

    auto* picture = new QLabel(panel);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setPixmap(ProgramIcon().pixmap(IconSize, IconSize));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    grid->addWidget(picture, 0, 0, 6, 1);

    QLabel* title = AddLabel(panel, grid, 0, QStringLiteral("ProductName"),
                             QStringLiteral("TQR716 PLU manager"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    title->setFont(titleFont);
    AddLabel(panel, grid, 1, QStringLiteral("Version"),
             QStringLiteral("Version %1").arg(BuildInfo::Version()));
    AddLabel(panel, grid, 2, QStringLiteral("Copyright"), QStringLiteral("2003"));
    AddLabel(panel, grid, 3, QStringLiteral("Comments"), QStringLiteral("Build 20030819"));
    // The day of the build the operator runs, beside the original's build line.
    AddLabel(panel, grid, 4, QStringLiteral("BuildDateLBL"),
             QStringLiteral("Built on %1").arg(BuildInfo::BuildDate()));
    AddLabel(panel, grid, 5, QStringLiteral("OwnerLBL"), owner);

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
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QIcon TAboutBox::ProgramIcon()
{
    // The installed icon where the icon theme has it; a stock one otherwise.
    return QIcon::fromTheme(QStringLiteral("tqr716-plu-manager"),
                            QApplication::style()->standardIcon(QStyle::SP_ComputerIcon));
}
