#include "app/SeveralRegistersDlg.h"

#include "app/LanguageFile.h"
#include "model/Language.h"
#include "widgets/DialogParts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { kRegister, kPort, kStep, kPackage, kOutcome, kColumns };

// Articles (PLUs and departments) with at least one differing field.
int DifferingArticles(const Differences& differences)
{
    QSet<QPair<int, int>> articles;
    for (const FieldDifference& difference : differences)
        articles.insert({int(difference.table), difference.number});
    return int(articles.size());
}

QCheckBox* NamedCheck(const QString& name, const QString& text, bool checked, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

} // namespace

TSeveralRegistersDlg::TSeveralRegistersDlg(Mode mode, const RegisterList& registers, const TextTable& plu,
                                           const TextTable& departments, const QString& settingsPath,
                                           const RegisterLinkOptions& link, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_registers(registers), m_plu(plu), m_departments(departments),
      m_settingsPath(settingsPath), m_link(link)
{
    setObjectName(mode == Mode::Send ? QStringLiteral("SendRegistersDlg") : QStringLiteral("CompareRegistersDlg"));
    setWindowTitle(mode == Mode::Send ? QStringLiteral("Send to registers") : QStringLiteral("Compare with registers"));
    BuildChoice();
    TranslateWindow(*this);
    connect(&m_run, &SeveralRegisters::StepShown, this, &TSeveralRegistersDlg::ShowStep);
    connect(&m_run, &SeveralRegisters::PackageShown, this, &TSeveralRegistersDlg::ShowPackage);
    connect(&m_run, &SeveralRegisters::NoticeShown, this,
            [this](int index, const QString& text, bool) { ShowNotice(index, text); });
    connect(&m_run, &SeveralRegisters::RegisterEnded, this, &TSeveralRegistersDlg::ShowEnd);
    connect(&m_run, &SeveralRegisters::Finished, this, &TSeveralRegistersDlg::ShowSummary);
    resize(760, 480);
}

void TSeveralRegistersDlg::BuildChoice()
{
    const bool send = m_mode == Mode::Send;
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("RegisterList"));
    for (const NamedRegister& entry : m_registers) {
        auto* item = new QListWidgetItem(QStringLiteral("%1 (%2)").arg(entry.name, entry.port), m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    auto* registersGroup = NamedGroup(QStringLiteral("RegistersGroup"), QStringLiteral("Registers"), this);
    (new QVBoxLayout(registersGroup))->addWidget(m_list);

    auto* tablesGroup = NamedGroup(QStringLiteral("TablesGroup"), QStringLiteral("Tables"), this);
    auto* tables = new QVBoxLayout(tablesGroup);
    m_pluBox = NamedCheck(QStringLiteral("PluBox"), QStringLiteral("&PLU"), true, tablesGroup);
    m_deptBox = NamedCheck(QStringLiteral("DeptBox"), QStringLiteral("&Department"), true, tablesGroup);
    m_paramBox = NamedCheck(QStringLiteral("ParamBox"), QStringLiteral("P&arameter"), false, tablesGroup);
    m_paramBox->setVisible(send);
    tables->addWidget(m_pluBox);
    tables->addWidget(m_deptBox);
    tables->addWidget(m_paramBox);
    m_fullRadio = new QRadioButton(QStringLiteral("&Full download"), tablesGroup);
    m_fullRadio->setObjectName(QStringLiteral("FullRadio"));
    m_fullRadio->setChecked(true);
    m_changesRadio = new QRadioButton(QStringLiteral("&Changes only"), tablesGroup);
    m_changesRadio->setObjectName(QStringLiteral("ChangesRadio"));
    m_verifyBox = NamedCheck(QStringLiteral("VerifyBox"), QStringLiteral("&Verify after"), false, tablesGroup);
    for (QWidget* sendOnly : std::initializer_list<QWidget*>{m_fullRadio, m_changesRadio, m_verifyBox}) {
        sendOnly->setVisible(send);
        tables->addWidget(sendOnly);
    }
    tables->addStretch(1);

    auto* choice = new QHBoxLayout;
    choice->addWidget(registersGroup, 1);
    choice->addWidget(tablesGroup);

    m_grid = new QTableWidget(0, kColumns, this);
    m_grid->setObjectName(QStringLiteral("ProgressGrid"));
    m_grid->setHorizontalHeaderLabels({Text("ProgressGrid.Register", "Register"), Text("ProgressGrid.Port", "Port"),
                                       Text("ProgressGrid.Step", "Step"), Text("ProgressGrid.Package", "Package"),
                                       Text("ProgressGrid.Outcome", "Outcome")});
    m_grid->verticalHeader()->setVisible(false);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setColumnWidth(kStep, 200);
    m_grid->setRowCount(int(m_registers.size()));
    for (int row = 0; row < int(m_registers.size()); ++row) {
        SetCell(row, kRegister, m_registers[std::size_t(row)].name);
        SetCell(row, kPort, m_registers[std::size_t(row)].port);
    }

    m_summary = NamedLabel(QStringLiteral("SummaryLabel"), QString(), this);
    m_summary->setWordWrap(true);

    m_start = NamedButton(QStringLiteral("StartBtn"), send ? QStringLiteral("&Send") : QStringLiteral("Co&mpare"),
                          this);
    m_start->setDefault(true);
    m_cancel = NamedButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), this);
    m_cancel->setEnabled(false);
    m_retry = NamedButton(QStringLiteral("RetryBtn"), QStringLiteral("&Retry failed registers"), this);
    m_retry->setEnabled(false);
    m_close = NamedButton(QStringLiteral("CloseBtn"), QStringLiteral("C&lose"), this);
    connect(m_start, &QPushButton::clicked, this, &TSeveralRegistersDlg::StartClicked);
    connect(m_cancel, &QPushButton::clicked, &m_run, &SeveralRegisters::Cancel);
    connect(m_retry, &QPushButton::clicked, this, [this] { Start(m_failed); });
    connect(m_close, &QPushButton::clicked, this, &TSeveralRegistersDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_retry);
    buttons->addStretch(1);
    for (QPushButton* button : {m_start, m_cancel, m_close})
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_summary);
    layout->addLayout(buttons);
}

QString TSeveralRegistersDlg::Text(const char* key, const char* english) const
{
    // The send and the compare window each have their own section.
    return Language::Text(objectName(), QString::fromLatin1(key), QString::fromUtf8(english));
}

QString TSeveralRegistersDlg::OutcomeText(const RegisterCommandResult& result) const
{
    using Outcome = TransferResult::Outcome;
    switch (result.result.outcome) {
    case Outcome::Done:
        if (m_mode != Mode::Compare)
            return Text("OutcomeDone", "Done");
        if (result.differences.empty())
            return Text("OutcomeSame", "Same as the document");
        return DifferingArticles(result.differences) == 1
                   ? Text("OutcomeDiffersOne", "Differs: 1 article")
                   : Text("OutcomeDiffers", "Differs: %1 articles").arg(DifferingArticles(result.differences));
    case Outcome::Cancelled:
        return Text("OutcomeCancelled", "Cancelled");
    case Outcome::PortNotOpened:
    case Outcome::Failed:
    case Outcome::Refused:
        break;
    }
    return Text("OutcomeFailed", "Failed: %1").arg(result.result.message);
}

void TSeveralRegistersDlg::SetCell(int row, int column, const QString& text)
{
    if (QTableWidgetItem* item = m_grid->item(row, column))
        item->setText(text);
    else
        m_grid->setItem(row, column, new QTableWidgetItem(text));
}

void TSeveralRegistersDlg::SetChoiceEnabled(bool enabled)
{
    for (QWidget* widget : std::initializer_list<QWidget*>{m_list, m_pluBox, m_deptBox, m_paramBox, m_fullRadio,
                                                           m_changesRadio, m_verifyBox, m_start, m_close})
        widget->setEnabled(enabled);
    m_retry->setEnabled(enabled && !m_failed.empty());
    m_cancel->setEnabled(!enabled);
}

RegisterCommandRequest TSeveralRegistersDlg::Request() const
{
    RegisterCommandRequest request;
    request.kind = m_mode == Mode::Send ? RegisterCommandKind::Download : RegisterCommandKind::Compare;
    unsigned tables = 0;
    if (m_pluBox->isChecked())
        tables |= TableBit(TransferTable::PLU);
    if (m_deptBox->isChecked())
        tables |= TableBit(TransferTable::Department);
    if (m_mode == Mode::Send && m_paramBox->isChecked())
        tables |= TableBit(TransferTable::Parameter);
    request.transfer.selection = tables;
    request.changesOnly = m_mode == Mode::Send && m_changesRadio->isChecked();
    request.verify = m_mode == Mode::Send && m_verifyBox->isChecked();
    return request;
}

void TSeveralRegistersDlg::StartClicked()
{
    std::vector<int> rows;
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->checkState() == Qt::Checked)
            rows.push_back(row);
    }
    Start(rows);
}

void TSeveralRegistersDlg::Start(const std::vector<int>& rows)
{
    if (m_run.IsRunning())
        return;
    std::vector<RegisterTarget> targets;
    for (const int row : rows) {
        const NamedRegister& entry = m_registers[std::size_t(row)];
        targets.push_back({entry.name, entry.port, entry.baudIndex});
    }
    const QString problem = m_run.Start(Request(), targets, m_plu, m_departments, m_settingsPath, m_link);
    if (!problem.isEmpty()) {
        m_summary->setText(problem);
        return;
    }
    m_rowsOfRun = rows;
    m_failed.clear();
    for (const int row : rows) {
        for (const int column : {kStep, kPackage, kOutcome})
            SetCell(row, column, QString());
    }
    m_summary->setText(rows.size() == 1 ? Text("SummaryLabel.RunningOne", "Running on 1 register...")
                                        : Text("SummaryLabel.Running", "Running on %1 registers...")
                                              .arg(QLocale().toString(qulonglong(rows.size()))));
    SetChoiceEnabled(false);
}

void TSeveralRegistersDlg::ShowStep(int index, const QString& text)
{
    SetCell(m_rowsOfRun[std::size_t(index)], kStep, text);
}

void TSeveralRegistersDlg::ShowPackage(int index, int current, int total)
{
    SetCell(m_rowsOfRun[std::size_t(index)], kPackage,
            total > 0 ? Text("ProgressGrid.PackageOf", "%1 of %2").arg(QLocale().toString(current), QLocale().toString(total))
                      : QString());
}

void TSeveralRegistersDlg::ShowNotice(int index, const QString& text)
{
    SetCell(m_rowsOfRun[std::size_t(index)], kStep, text);
}

void TSeveralRegistersDlg::ShowEnd(int index)
{
    const RegisterRunEnd& end = *m_run.EndOf(index);
    const int row = m_rowsOfRun[std::size_t(index)];
    QString outcome = OutcomeText(end.result);
    if (!end.result.changesSummary.isEmpty())
        outcome += QLatin1Char(' ') + end.result.changesSummary;
    SetCell(row, kOutcome, outcome);
    if (!end.result.Succeeded())
        m_failed.push_back(row);
}

void TSeveralRegistersDlg::ShowSummary()
{
    std::sort(m_failed.begin(), m_failed.end());
    QStringList lines;
    for (std::size_t index = 0; index < m_rowsOfRun.size(); ++index) {
        const int row = m_rowsOfRun[index];
        lines << Text("SummaryLabel.Line", "%1: %2").arg(m_registers[std::size_t(row)].name, m_grid->item(row, kOutcome)->text());
    }
    if (!m_failed.empty())
        lines << Text("SummaryLabel.Failed",
                      "Check the cable and the register of each failed one, then press Retry failed registers.");
    m_summary->setText(lines.join(QLatin1Char('\n')));
    SetChoiceEnabled(true);
    emit RunFinished();
}

void TSeveralRegistersDlg::reject()
{
    // The registers end through their log-outs before the dialog goes.
    if (m_run.IsRunning()) {
        m_run.Cancel();
        return;
    }
    QDialog::reject();
}
