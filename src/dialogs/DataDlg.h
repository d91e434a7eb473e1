#pragma once

#include "transfer/DialogInput.h"
#include "transfer/MemoryDump.h"

#include <QDialog>

class IMessageBox;
class QLineEdit;
class TRadioGroup;

// The memory range of a dump: area ROM, RAM or FISCAL, the first block in
// hexadecimal and the number of blocks. The caller sets the title
// ("Upload data range") before Run, or hands it to the dump's Run(title).
class TDataDlg : public QDialog, public IMemoryRangeDialog
{
    Q_OBJECT

public:
    explicit TDataDlg(IMessageBox& messages, QWidget* parent = nullptr);

    // Shows the dialog modally. True on OK when both fields convert to a
    // range within the register's block numbers; otherwise a beep and false.
    bool Run();
    // IMemoryRangeDialog: the same, titled `title`, with the choice as result.
    std::optional<MemoryRangeChoice> Run(const QString& title) override;

    const MemoryRangeChoice& Choice() const { return m_choice; }
    int Area() const { return m_choice.area; }
    int BaseBlock() const { return m_choice.baseBlock; }
    int BlockCount() const { return m_choice.blockCount; }

    // The base field's key filter: true when the key may reach the field.
    static bool Edit1KeyPress(QChar key);

    // Converts the fields as OK does; false (after a beep) when they do not
    // give a usable range.
    bool TakeFields();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    IMessageBox& m_messages;
    TRadioGroup* m_areaGroup;
    QLineEdit* m_baseEdit;
    QLineEdit* m_countEdit;
    MemoryRangeChoice m_choice;
};
