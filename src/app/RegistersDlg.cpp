#include "app/RegistersDlg.h"

#include "app/LanguageFile.h"
#include "link/QelmIBus.h"
#include "model/Language.h"
#include "widgets/DialogParts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { kName, kPort, kRate, kTested, kColumns };

QComboBox* RateBox(int index, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("RateBox"));
    for (const quint32 rate : TQelmIBusComm::BaudTable)
        box->addItem(Tr("RegistersDlg", "RateBox.Item", "%1 bit/s").arg(rate));
    box->setCurrentIndex(index);
    return box;
}

} // namespace

TRegistersDlg::TRegistersDlg(const RegisterList& registers, Tester test, QWidget* parent)
    : QDialog(parent), m_test(std::move(test))
{
    setObjectName(QStringLiteral("RegistersDlg"));
    setWindowTitle(QStringLiteral("Registers"));

    m_grid = new QTableWidget(0, kColumns, this);
    m_grid->setObjectName(QStringLiteral("RegistersGrid"));
    m_grid->setHorizontalHeaderLabels({Tr("RegistersDlg", "RegistersGrid.Name", "Name"),
                                       Tr("RegistersDlg", "RegistersGrid.Port", "Port"),
                                       Tr("RegistersDlg", "RegistersGrid.LineRate", "Line rate"),
                                       Tr("RegistersDlg", "RegistersGrid.Test", "Test")});
    m_grid->verticalHeader()->setVisible(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    for (const NamedRegister& entry : registers)
        AddRow(entry);

    auto* add = NamedButton(QStringLiteral("AddBtn"), QStringLiteral("&Add"), this);
    auto* rename = NamedButton(QStringLiteral("RenameBtn"), QStringLiteral("Re&name"), this);
    auto* remove = NamedButton(QStringLiteral("RemoveBtn"), QStringLiteral("Re&move"), this);
    auto* testButton = NamedButton(QStringLiteral("TestBtn"), QStringLiteral("&Test"), this);
    connect(add, &QPushButton::clicked, this, &TRegistersDlg::AddClicked);
    connect(rename, &QPushButton::clicked, this, &TRegistersDlg::RenameClicked);
    connect(remove, &QPushButton::clicked, this, &TRegistersDlg::RemoveClicked);
    connect(testButton, &QPushButton::clicked, this, &TRegistersDlg::TestClicked);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {add, rename, remove, testButton})
        buttons->addWidget(button);
    buttons->addStretch(1);

    auto* body = new QHBoxLayout;
    body->addWidget(m_grid, 1);
    body->addLayout(buttons);

    m_problem = NamedLabel(QStringLiteral("ProblemLabel"), QString(), this);
    m_problem->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(m_problem);
    layout->addLayout(OkCancelRow(*this));
    TranslateWindow(*this);
    resize(620, 320);
}

void TRegistersDlg::AddRow(const NamedRegister& entry)
{
    const int row = m_grid->rowCount();
    m_grid->insertRow(row);
    m_grid->setItem(row, kName, new QTableWidgetItem(entry.name));
    m_grid->setItem(row, kPort, new QTableWidgetItem(entry.port));
    m_grid->setCellWidget(row, kRate, RateBox(entry.baudIndex, m_grid));
    auto* tested = new QTableWidgetItem;
    tested->setFlags(tested->flags() & ~Qt::ItemIsEditable);
    m_grid->setItem(row, kTested, tested);
}

NamedRegister TRegistersDlg::RowRegister(int row) const
{
    const auto* rate = qobject_cast<const QComboBox*>(m_grid->cellWidget(row, kRate));
    return {m_grid->item(row, kName)->text(), m_grid->item(row, kPort)->text().trimmed(),
            rate != nullptr ? rate->currentIndex() : 0};
}

RegisterList TRegistersDlg::Registers() const
{
    RegisterList registers;
    for (int row = 0; row < m_grid->rowCount(); ++row)
        registers.push_back(RowRegister(row));
    return registers;
}

void TRegistersDlg::accept()
{
    const QString problem = RegisterListProblem(Registers());
    m_problem->setText(problem);
    if (problem.isEmpty())
        QDialog::accept();
}

void TRegistersDlg::AddClicked()
{
    const RegisterList registers = Registers();
    const QString name = Tr("RegistersDlg", "NewRegister", "Register %1");
    int number = int(registers.size()) + 1;
    while (FindRegister(registers, name.arg(number)))
        ++number;
    NamedRegister entry{name.arg(number), QStringLiteral("COM1"), 0};
    if (!registers.empty())
        entry.baudIndex = registers.back().baudIndex;
    AddRow(entry);
    m_grid->setCurrentCell(m_grid->rowCount() - 1, kName);
    m_grid->editItem(m_grid->item(m_grid->rowCount() - 1, kName));
}

void TRegistersDlg::RenameClicked()
{
    const int row = m_grid->currentRow();
    if (row < 0)
        return;
    m_grid->setCurrentCell(row, kName);
    m_grid->editItem(m_grid->item(row, kName));
}

void TRegistersDlg::RemoveClicked()
{
    const int row = m_grid->currentRow();
    if (row >= 0)
        m_grid->removeRow(row);
}

void TRegistersDlg::TestClicked()
{
    const int row = m_grid->currentRow();
    if (row < 0 || !m_test)
        return;
    const QString outcome = m_test(RowRegister(row));
    // The row may have gone while the test ran its waits.
    if (row < m_grid->rowCount())
        m_grid->item(row, kTested)->setText(outcome);
}
