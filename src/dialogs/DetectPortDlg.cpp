#include "dialogs/DetectPortDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

TDetectPortDlg::TDetectPortDlg(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("DetectPortDlg"));
    setWindowTitle(QStringLiteral("Detect port"));

    auto* results = new QGridLayout;
    m_resultGrid = results;
    for (int n = 1; n <= kPorts; ++n) {
        auto* label = new QLabel(QStringLiteral("COM%1 :").arg(n), this);
        label->setObjectName(QStringLiteral("Label3D%1").arg(n));
        label->setProperty("languageData", true);
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("Edit%1").arg(n));
        field->setReadOnly(true);
        field->setFocusPolicy(Qt::NoFocus);
        results->addWidget(label, n - 1, 0);
        results->addWidget(field, n - 1, 1);
        m_results[n - 1] = field;
    }

    m_detectButton = new QPushButton(QStringLiteral("&Detect"), this);
    m_detectButton->setObjectName(QStringLiteral("DetectBtn"));
    m_detectButton->setDefault(true);
    auto* closeButton = new QPushButton(QStringLiteral("&Close"), this);
    closeButton->setObjectName(QStringLiteral("CloseBtn"));
    connect(m_detectButton, &QPushButton::clicked, this, &TDetectPortDlg::DetectBtnClick);
    connect(closeButton, &QPushButton::clicked, this, &TDetectPortDlg::CloseBtnClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_detectButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(results);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TDetectPortDlg::ClearResults()
{
    for (QLineEdit* field : m_results) {
        field->clear();
        field->repaint();
    }
    for (auto& [label, field] : m_deviceRows) {
        delete label;
        delete field;
    }
    m_deviceRows.clear();
}

void TDetectPortDlg::ShowDeviceResult(int row, const QString& name, const QString& text)
{
    if (row < 0 || row > static_cast<int>(m_deviceRows.size()))
        return;
    if (row == static_cast<int>(m_deviceRows.size())) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("DeviceLabel%1").arg(row + 1));
        label->setProperty("languageData", true);
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("DeviceEdit%1").arg(row + 1));
        field->setReadOnly(true);
        field->setFocusPolicy(Qt::NoFocus);
        m_resultGrid->addWidget(label, kPorts + row, 0);
        m_resultGrid->addWidget(field, kPorts + row, 1);
        m_deviceRows.emplace_back(label, field);
    }
    auto& [label, field] = m_deviceRows[static_cast<std::size_t>(row)];
    label->setText(name + QStringLiteral(" :"));
    field->setText(text);
    field->repaint();
}

QString TDetectPortDlg::DeviceResult(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_deviceRows.size()))
        return {};
    return m_deviceRows[static_cast<std::size_t>(row)].second->text();
}

void TDetectPortDlg::FitResultFields()
{
    // Room for the longest answer in the language shown.
    const int width = std::max({fontMetrics().horizontalAdvance(DetectScanTexts::Testing()),
                                fontMetrics().horizontalAdvance(DetectScanTexts::Found()),
                                fontMetrics().horizontalAdvance(DetectScanTexts::NotFound())});
    for (QLineEdit* field : m_results)
        field->setMinimumWidth(width * 3 / 2);
}

void TDetectPortDlg::Run()
{
    FitResultFields();
    ClearResults();
    m_detectButton->setEnabled(true);
    m_detectButton->setFocus();
    exec();
}

void TDetectPortDlg::DetectBtnClick()
{
    m_detectButton->setEnabled(false);
    ClearResults();
    if (m_scan)
        m_scan(*this);
    m_detectButton->setEnabled(true);
}

void TDetectPortDlg::CloseBtnClick()
{
    if (m_abort)
        m_abort();
    hide();
    QDialog::reject();
}

void TDetectPortDlg::reject()
{
    CloseBtnClick();
}

void TDetectPortDlg::SetPortResult(int port, const QString& text)
{
    if (port < 1 || port > kPorts)
        return;
    m_results[port - 1]->setText(text);
    m_results[port - 1]->repaint();
}

QString TDetectPortDlg::PortResult(int port) const
{
    if (port < 1 || port > kPorts)
        return {};
    return m_results[port - 1]->text();
}
