#include "dialogs/DataDlg.h"

#include "widgets/DialogParts.h"
#include "model/MessageBox.h"
#include "dialogs/RadioGroup.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QLineEdit* DisabledField(const QString& name, const QString& text, QWidget* parent)
{
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(name);
    field->setEnabled(false);
    return field;
}

} // namespace

TDataDlg::TDataDlg(IMessageBox& messages, QWidget* parent) : QDialog(parent), m_messages(messages)
{
    setObjectName(QStringLiteral("DataDlg"));
    setWindowTitle(MemoryDumpTexts::DialogTitle());

    m_areaGroup = new TRadioGroup(QString(), {QStringLiteral("ROM"), QStringLiteral("RAM"), QStringLiteral("FISCAL")}, 3, this);
    m_areaGroup->setObjectName(QStringLiteral("RadioGroup1"));
    m_areaGroup->SetItemIndex(MemoryRangeChoice::ROM);
    // The memories' names are the register's own.
    for (int i = 0; i < m_areaGroup->Count(); ++i)
        m_areaGroup->Button(i)->setProperty("languageData", true);

    m_baseEdit = DisabledField(QStringLiteral("Edit1"), QStringLiteral("0"), this);
    m_countEdit = DisabledField(QStringLiteral("Edit2"), QStringLiteral("8"), this);
    m_baseEdit->installEventFilter(this);

    auto* fields = new QFormLayout;
    fields->addRow(NamedLabel(QStringLiteral("Label1"), QStringLiteral("Base addr(hex):"), this, m_baseEdit), m_baseEdit);
    fields->addRow(NamedLabel(QStringLiteral("Label2"), QStringLiteral("Package count::"), this, m_countEdit), m_countEdit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_areaGroup);
    layout->addLayout(fields);
    layout->addLayout(OkCancelRow(*this));
}

bool TDataDlg::Edit1KeyPress(QChar key)
{
    return MemoryRangeInput::AcceptsBaseKey(key);
}

bool TDataDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_baseEdit && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        for (const QChar key : text) {
            if (!Edit1KeyPress(key))
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TDataDlg::TakeFields()
{
    const std::optional<MemoryRangeChoice> choice =
        MemoryRangeInput::Parse(m_areaGroup->ItemIndex(), m_baseEdit->text(), m_countEdit->text());
    if (!choice) {
        m_messages.Beep();
        return false;
    }
    m_choice = *choice;
    return true;
}

bool TDataDlg::Run()
{
    if (exec() != QDialog::Accepted)
        return false;
    return TakeFields();
}

std::optional<MemoryRangeChoice> TDataDlg::Run(const QString& title)
{
    setWindowTitle(title);
    if (!Run())
        return std::nullopt;
    return m_choice;
}
