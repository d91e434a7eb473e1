#include "app/ConnectionCheckDlg.h"

#include "link/QelmIBus.h"
#include "model/Language.h"
#include "link/RegisterLink.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

TConnectionCheckDlg::TConnectionCheckDlg(QWidget* parent, LinkFactory makeLink)
    : QDialog(parent),
      m_makeLink(makeLink ? std::move(makeLink) : LinkFactory([] { return MakeRegisterLink(); }))
{
    setObjectName(QStringLiteral("ConnectionCheckDlg"));
    setWindowTitle(QStringLiteral("Connection check"));

    m_report = new QPlainTextEdit(this);
    m_report->setObjectName(QStringLiteral("ReportMemo"));
    m_report->setReadOnly(true);
    m_report->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_report->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_report->setMinimumSize(m_report->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 90,
                             m_report->fontMetrics().lineSpacing() * 24);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("SummaryLbl"));
    m_summary->setWordWrap(true);

    m_againButton = new QPushButton(QStringLiteral("Check &again"), this);
    m_againButton->setObjectName(QStringLiteral("AgainBtn"));
    auto* closeButton = new QPushButton(QStringLiteral("&Close"), this);
    closeButton->setObjectName(QStringLiteral("CloseBtn"));
    closeButton->setDefault(true);
    connect(m_againButton, &QPushButton::clicked, this, &TConnectionCheckDlg::Check);
    connect(closeButton, &QPushButton::clicked, this, &TConnectionCheckDlg::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_summary, 1);
    buttons->addWidget(m_againButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_report);
    layout->addLayout(buttons);
}

TConnectionCheckDlg::~TConnectionCheckDlg() = default;

void TConnectionCheckDlg::Run(const QString& portName)
{
    m_portName = portName;
    m_report->clear();
    m_summary->clear();
    QTimer::singleShot(0, this, &TConnectionCheckDlg::Check);
    exec();
}

void TConnectionCheckDlg::Check()
{
    if (m_link != nullptr)
        return;
    m_againButton->setEnabled(false);
    m_report->clear();
    m_summary->setText(Tr("ConnectionCheckDlg", "SummaryLbl.Checking", "Checking %1...").arg(m_portName));
    m_stopRequested = false;
    m_link = m_makeLink();
    const DoctorResult result = RunConnectionDoctor(
        *m_link, m_portName, m_paths, [this](const DoctorLine& line) { AddLine(line); },
        [this] { return m_stopRequested; });
    m_link.reset();
    if (result.answeredRate)
        m_summary->setText(Tr("ConnectionCheckDlg", "SummaryLbl.Answers", "The register answers on %1.").arg(m_portName));
    else if (result.stopped)
        m_summary->setText(Tr("ConnectionCheckDlg", "SummaryLbl.Stopped", "The check of %1 was stopped.").arg(m_portName));
    else
        m_summary->setText(Tr("ConnectionCheckDlg", "SummaryLbl.NoAnswer", "No register answers on %1; see the remedies above.").arg(m_portName));
    m_againButton->setEnabled(true);
}

void TConnectionCheckDlg::AddLine(const DoctorLine& line)
{
    m_report->appendPlainText(DoctorLineText(line));
    m_report->repaint();
}

QString TConnectionCheckDlg::Report() const
{
    return m_report->toPlainText();
}

QString TConnectionCheckDlg::Summary() const
{
    return m_summary->text();
}

void TConnectionCheckDlg::reject()
{
    // The check stops before its next rate; Abort ends the rate in progress.
    m_stopRequested = true;
    if (m_link != nullptr)
        m_link->Abort();
    QDialog::reject();
}
