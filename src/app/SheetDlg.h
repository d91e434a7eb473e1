#pragma once

#include "app/SheetDialogs.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The import or export dialog: which table, which sheet file, and for an
// export whether every row goes. OK is available once the file name ends in
// .csv or .xlsx; an export asks before it replaces an existing file.
class TSheetDlg : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Import, Export };

    explicit TSheetDlg(Mode mode, QWidget* parent = nullptr);

    SheetChoice Choice() const;

    void accept() override;

private:
    void Browse();
    void UpdateOk();

    const Mode m_mode;
    QRadioButton* m_pluRadio = nullptr;
    QLineEdit* m_fileEdit = nullptr;
    QCheckBox* m_allRowsBox = nullptr;
    QPushButton* m_okButton = nullptr;
};

// The dialogs as the main window shows them.
class WidgetSheetDialogs : public ISheetDialogs
{
public:
    explicit WidgetSheetDialogs(QWidget* parent) : m_parent(parent) {}

    std::optional<SheetChoice> ChooseImport() override;
    std::optional<SheetChoice> ChooseExport() override;

private:
    QWidget* m_parent;
};
