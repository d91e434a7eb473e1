#include "widgets/DialogParts.h"

#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidgetItem>

QLabel* NamedLabel(const QString& name, const QString& text, QWidget* parent, QWidget* buddy)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    if (buddy != nullptr)
        label->setBuddy(buddy);
    return label;
}

QPushButton* NamedButton(const QString& name, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

QGroupBox* NamedGroup(const QString& name, const QString& title, QWidget* parent)
{
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(name);
    return group;
}

QHBoxLayout* OkCancelRow(QDialog& dialog)
{
    auto* okButton = NamedButton(QStringLiteral("OKBtn"), QStringLiteral("OK"), &dialog);
    okButton->setDefault(true);
    auto* cancelButton = NamedButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), &dialog);
    QObject::connect(okButton, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancelButton, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(okButton);
    row->addWidget(cancelButton);
    return row;
}

QTableWidgetItem* ReadOnlyItem(const QString& text, Qt::Alignment alignment)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}
