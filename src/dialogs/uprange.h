#pragma once

#include "transfer/TransferRequest.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class IMessageBox;
class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class TRangeSpinEdit;

// The tables and PLU range the operator chose for one download or upload.
struct TransferChoice
{
    // Bit i set when item i was ticked: 0 PLU, 1 department, 2 parameter.
    unsigned selection = 0;
    int rangeBegin = 1;
    int rangeEnd = 3000;
};

// The request a transfer of this choice makes on the given port ("COM" +
// number) and line-speed index.
TransferRequest RequestFor(const TransferChoice& choice, int portNumber, int speedIndex);

// The dialog shared by Download data and Upload data: a check list of the
// tables (all unticked at every run) and the PLU range, which keeps what the
// operator typed from one run to the next. OK is disabled until a table is
// ticked, and refused with "Invalid PLU range" while the range is not
// 1 <= From <= To <= 3000.
class TTransferRangeDlg : public QDialog
{
    Q_OBJECT

public:
    // The choice names are asked for at every run, so replaced texts show;
    // by default the program's DownloadItemTips or UploadItemTips.
    using TipsSource = std::function<QStringList()>;

    // Shows the dialog modally; true on OK. Selection and range are then
    // those of this run; after Cancel they stay those of the last OK.
    bool Run();

    unsigned Selection() const { return m_choice.selection; }
    int RangeBegin() const { return m_choice.rangeBegin; }
    int RangeEnd() const { return m_choice.rangeEnd; }
    const TransferChoice& Choice() const { return m_choice; }

    // The close check on OK: false (after telling the operator) keeps the
    // dialog open; true takes the range.
    bool FormCloseQuery();

    void done(int result) override;

protected:
    TTransferRangeDlg(const QString& name, const QString& title, TipsSource tips,
                      IMessageBox& messages, QWidget* parent);

private:
    void FillCheckList();
    unsigned TickedItems() const;
    void EnableOk();

    TipsSource m_tips;
    IMessageBox& m_messages;
    QListWidget* m_checkList;
    QPushButton* m_okButton;
    TRangeSpinEdit* m_beginEdit;
    TRangeSpinEdit* m_endEdit;
    TransferChoice m_choice;
};

// "Download data": which tables to send and which PLUs, and whether to read
// them back afterwards. Run as "Download changes" it also tells the operator
// what a changes-only download cannot see.
class TDownloadDlg : public TTransferRangeDlg
{
    Q_OBJECT

public:
    explicit TDownloadDlg(IMessageBox& messages, QWidget* parent = nullptr, TipsSource tips = {});

    unsigned DownloadSelection() const { return Selection(); }

    // "Verify after download" (VerifyCheck), kept from run to run.
    bool VerifyAfterDownload() const;
    // Titles the dialog "Download changes" and shows the note, or back.
    void SetChangesOnly(bool changesOnly);

private:
    QCheckBox* m_verifyCheck;
    bool m_changesOnly = false;
    QString m_usualTitle;
    QLabel* m_changesNote;
};

// "Compare with register": which tables to compare and which PLUs.
class TCompareDlg : public TTransferRangeDlg
{
    Q_OBJECT

public:
    explicit TCompareDlg(IMessageBox& messages, QWidget* parent = nullptr);
};

// "Upload data": which tables to read back and which PLUs.
class TUploadDlg : public TTransferRangeDlg
{
    Q_OBJECT

public:
    explicit TUploadDlg(IMessageBox& messages, QWidget* parent = nullptr, TipsSource tips = {});

    unsigned UploadSelection() const { return Selection(); }
};
