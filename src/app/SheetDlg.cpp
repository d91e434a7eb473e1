#include "app/SheetDlg.h"

#include "app/LanguageFile.h"
#include "exchange/SheetFiles.h"
#include "model/Language.h"
#include "widgets/DialogParts.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// A text of the dialog, whose section is "ImportDlg" or "ExportDlg".
QString Text(const QWidget& dialog, const char* key, const char* english)
{
    return Language::Text(dialog.objectName(), QString::fromLatin1(key),
                          QString::fromUtf8(english));
}

QRadioButton* NamedRadio(const QString& name, const QString& text, QWidget* parent)
{
    auto* radio = new QRadioButton(text, parent);
    radio->setObjectName(name);
    return radio;
}

std::optional<SheetChoice> Run(TSheetDlg::Mode mode, QWidget* parent)
{
    TSheetDlg dialog(mode, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}

} // namespace

TSheetDlg::TSheetDlg(Mode mode, QWidget* parent) : QDialog(parent), m_mode(mode)
{
    const bool import = mode == Mode::Import;
    setObjectName(import ? QStringLiteral("ImportDlg") : QStringLiteral("ExportDlg"));
    setWindowTitle(import ? QStringLiteral("Import") : QStringLiteral("Export"));

    auto* tableGroup = NamedGroup(QStringLiteral("TableGroup"), QStringLiteral("Table"), this);
    m_pluRadio = NamedRadio(QStringLiteral("PluRadio"), QStringLiteral("&PLU"), tableGroup);
    auto* deptRadio = NamedRadio(QStringLiteral("DeptRadio"), QStringLiteral("&Department"), tableGroup);
    m_pluRadio->setChecked(true);
    auto* tableRow = new QHBoxLayout(tableGroup);
    tableRow->addWidget(m_pluRadio);
    tableRow->addWidget(deptRadio);
    tableRow->addStretch();

    m_fileEdit = new QLineEdit(this);
    m_fileEdit->setObjectName(QStringLiteral("FileEdit"));
    m_fileEdit->setPlaceholderText(Text(*this, "FileEdit.Placeholder", "a .csv or .xlsx file"));
    m_fileEdit->setMinimumWidth(320);
    auto* browse = NamedButton(QStringLiteral("BrowseBtn"), QStringLiteral("&Browse..."), this);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(NamedLabel(QStringLiteral("FileLabel"), QStringLiteral("&File:"), this, m_fileEdit));
    fileRow->addWidget(m_fileEdit, 1);
    fileRow->addWidget(browse);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tableGroup);
    layout->addLayout(fileRow);
    if (!import) {
        m_allRowsBox = new QCheckBox(QStringLiteral("&Every row, also those without a name"), this);
        m_allRowsBox->setObjectName(QStringLiteral("AllRowsBox"));
        layout->addWidget(m_allRowsBox);
    }
    layout->addLayout(OkCancelRow(*this));
    m_okButton = findChild<QPushButton*>(QStringLiteral("OKBtn"));

    // The file is what the operator types first.
    m_fileEdit->setFocus();
    TranslateWindow(*this);
    connect(browse, &QPushButton::clicked, this, &TSheetDlg::Browse);
    connect(m_fileEdit, &QLineEdit::textChanged, this, &TSheetDlg::UpdateOk);
    UpdateOk();
}

SheetChoice TSheetDlg::Choice() const
{
    SheetChoice choice;
    choice.table = m_pluRadio->isChecked() ? TableKind::PLU : TableKind::Department;
    choice.path = QFileInfo(m_fileEdit->text().trimmed()).absoluteFilePath();
    choice.allRows = m_allRowsBox != nullptr && m_allRowsBox->isChecked();
    return choice;
}

void TSheetDlg::accept()
{
    const QString path = Choice().path;
    if (m_mode == Mode::Export && QFileInfo::exists(path) &&
        QMessageBox::question(this, windowTitle(),
                              Text(*this, "ReplaceFile", "%1 already exists. Replace it?")
                                  .arg(QDir::toNativeSeparators(path))) != QMessageBox::Yes)
        return;
    QDialog::accept();
}

void TSheetDlg::Browse()
{
    const QString start = m_fileEdit->text().trimmed().isEmpty() ? QDir::currentPath() : m_fileEdit->text().trimmed();
    const QString filter =
        Text(*this, "FileFilter",
             "Spreadsheets (*.csv *.xlsx);;CSV files (*.csv);;XLSX workbooks (*.xlsx)");
    const QString path =
        m_mode == Mode::Import
            ? QFileDialog::getOpenFileName(this, windowTitle(), start, filter)
            : QFileDialog::getSaveFileName(this, windowTitle(), start, filter, nullptr,
                                           QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty())
        m_fileEdit->setText(QDir::toNativeSeparators(path));
}

void TSheetDlg::UpdateOk()
{
    m_okButton->setEnabled(SheetFormatOf(m_fileEdit->text().trimmed()).has_value());
}

std::optional<SheetChoice> WidgetSheetDialogs::ChooseImport()
{
    return Run(TSheetDlg::Mode::Import, m_parent);
}

std::optional<SheetChoice> WidgetSheetDialogs::ChooseExport()
{
    return Run(TSheetDlg::Mode::Export, m_parent);
}
