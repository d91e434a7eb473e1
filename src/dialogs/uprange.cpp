#include "dialogs/uprange.h"

#include "widgets/DialogParts.h"
#include "model/Language.h"
#include "model/MessageBox.h"
#include "model/Texts.h"
#include "transfer/DialogInput.h"
#include "dialogs/RangeSpinEdit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kRangeFieldLength = 4;

TRangeSpinEdit* RangeField(const QString& name, int initial, QWidget* parent)
{
    auto* field = new TRangeSpinEdit(PluRangeInput::kFirst, PluRangeInput::kLast, parent);
    field->setObjectName(name);
    field->SetMaxLength(kRangeFieldLength);
    field->SetText(QString::number(initial));
    return field;
}

QStringList DownloadItemTips()
{
    const auto& tips = Texts().DownloadItemTips;
    return QStringList(tips.begin(), tips.end());
}

QStringList UploadItemTips()
{
    const auto& tips = Texts().UploadItemTips;
    return QStringList(tips.begin(), tips.end());
}

} // namespace

TransferRequest RequestFor(const TransferChoice& choice, int portNumber, int speedIndex)
{
    TransferRequest request;
    request.port = PortNameFor(portNumber);
    request.baudIndex = speedIndex;
    request.selection = choice.selection;
    request.range.begin = choice.rangeBegin;
    request.range.end = choice.rangeEnd;
    return request;
}

TTransferRangeDlg::TTransferRangeDlg(const QString& name, const QString& title, TipsSource tips,
                                     IMessageBox& messages, QWidget* parent)
    : QDialog(parent), m_tips(std::move(tips)), m_messages(messages)
{
    setObjectName(name);
    setWindowTitle(title);

    m_checkList = new QListWidget(this);
    m_checkList->setObjectName(QStringLiteral("CheckListBox1"));

    auto* rangeGroup = new QGroupBox(QStringLiteral("PLU range"), this);
    rangeGroup->setObjectName(QStringLiteral("GroupBox1"));
    m_beginEdit = RangeField(QStringLiteral("RangeBeginEdit"), PluRangeInput::kFirst, rangeGroup);
    m_endEdit = RangeField(QStringLiteral("RangeEndEdit"), PluRangeInput::kLast, rangeGroup);
    auto* fromLabel = NamedLabel(QStringLiteral("Label2"), QStringLiteral("From:"), rangeGroup);
    auto* toLabel = NamedLabel(QStringLiteral("Label3"), QStringLiteral("To:"), rangeGroup);
    fromLabel->setBuddy(m_beginEdit);
    toLabel->setBuddy(m_endEdit);

    auto* rangeLayout = new QGridLayout(rangeGroup);
    rangeLayout->addWidget(NamedLabel(QStringLiteral("Label1"), QStringLiteral("PLU No."), rangeGroup), 0, 0, 1, 2);
    rangeLayout->addWidget(fromLabel, 1, 0);
    rangeLayout->addWidget(m_beginEdit, 1, 1);
    rangeLayout->addWidget(toLabel, 2, 0);
    rangeLayout->addWidget(m_endEdit, 2, 1);
    rangeLayout->setRowStretch(3, 1);

    auto* choices = new QHBoxLayout;
    choices->addWidget(m_checkList, 1);
    choices->addWidget(rangeGroup);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addLayout(OkCancelRow(*this));
    m_okButton = findChild<QPushButton*>(QStringLiteral("OKBtn"));
    connect(m_checkList, &QListWidget::itemChanged, this, &TTransferRangeDlg::EnableOk);
}

void TTransferRangeDlg::FillCheckList()
{
    m_checkList->clear();
    for (const QString& tip : m_tips()) {
        auto* item = new QListWidgetItem(tip, m_checkList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    if (m_checkList->count() > 0)
        m_checkList->setCurrentRow(0);
    EnableOk();
}

// With nothing ticked the command would do nothing, yet end as if done.
void TTransferRangeDlg::EnableOk()
{
    m_okButton->setEnabled(TickedItems() != 0);
}

unsigned TTransferRangeDlg::TickedItems() const
{
    unsigned ticked = 0;
    for (int i = 0; i < m_checkList->count() && i < 32; ++i) {
        if (m_checkList->item(i)->checkState() == Qt::Checked)
            ticked |= 1u << i;
    }
    return ticked;
}

bool TTransferRangeDlg::Run()
{
    FillCheckList();
    m_checkList->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    m_choice.selection = TickedItems();
    return true;
}

bool TTransferRangeDlg::FormCloseQuery()
{
    const int begin = PluRangeInput::FieldValue(m_beginEdit->text());
    const int end = PluRangeInput::FieldValue(m_endEdit->text());
    if (!PluRangeInput::IsValid(begin, end)) {
        m_messages.Information(PluRangeInput::InvalidRangeText());
        return false;
    }
    m_choice.rangeBegin = begin;
    m_choice.rangeEnd = end;
    return true;
}

void TTransferRangeDlg::done(int result)
{
    if (result == QDialog::Accepted && (TickedItems() == 0 || !FormCloseQuery()))
        return;
    QDialog::done(result);
}

TDownloadDlg::TDownloadDlg(IMessageBox& messages, QWidget* parent, TipsSource tips)
    : TTransferRangeDlg(QStringLiteral("DownloadDlg"), QStringLiteral("Download data"),
                        tips ? std::move(tips) : TipsSource(&DownloadItemTips),
                        messages, parent)
{
    m_verifyCheck = new QCheckBox(QStringLiteral("&Verify after download"), this);
    m_verifyCheck->setObjectName(QStringLiteral("VerifyCheck"));
    m_changesNote = NamedLabel(QStringLiteral("ChangesNote"),
                               QStringLiteral("Only what changed since the register was last seen on this port "
                                              "is sent. Changes made at the register's own keyboard since then "
                                              "are not seen: Verify after download or Compare finds them."),
                               this);
    m_changesNote->setWordWrap(true);
    m_changesNote->setVisible(false);
    auto* layout = qobject_cast<QVBoxLayout*>(this->layout());
    layout->insertWidget(1, m_verifyCheck);
    layout->insertWidget(2, m_changesNote);
}

bool TDownloadDlg::VerifyAfterDownload() const
{
    return m_verifyCheck->isChecked();
}

void TDownloadDlg::SetChangesOnly(bool changesOnly)
{
    // The usual caption is whatever the window has (the language file's),
    // and comes back as it was.
    if (changesOnly != m_changesOnly) {
        if (changesOnly)
            m_usualTitle = windowTitle();
        setWindowTitle(changesOnly ? Tr("DownloadDlg", "ChangesCaption", "Download changes") : m_usualTitle);
        m_changesOnly = changesOnly;
    }
    m_changesNote->setVisible(changesOnly);
}

TCompareDlg::TCompareDlg(IMessageBox& messages, QWidget* parent)
    : TTransferRangeDlg(QStringLiteral("CompareDlg"), QStringLiteral("Compare with register"),
                        [] { return DownloadItemTips().mid(0, 2); }, messages, parent)
{
}

TUploadDlg::TUploadDlg(IMessageBox& messages, QWidget* parent, TipsSource tips)
    : TTransferRangeDlg(QStringLiteral("UploadDlg"), QStringLiteral("Upload data"),
                        tips ? std::move(tips) : TipsSource(&UploadItemTips),
                        messages, parent)
{
}
