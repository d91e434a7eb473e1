#pragma once

#include <QDialog>

#include <array>
#include <map>

class IMessageBox;
class QCheckBox;
class SettingsFile;
class QComboBox;
class QLineEdit;
class QScrollArea;
class QSpinBox;

// The register's parameter set as the operator edits it: print speed, option
// flags, clerks, header and advertisement lines, barcode types and VAT rates.
// The set lives only in section "Default" of the settings file; every showing
// loads it afresh and OK writes it back.
class TParaDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kFlagCount = 8;
    static constexpr int kClerkCount = 4;
    static constexpr int kHeaderCount = 5;
    static constexpr int kTailCount = 2;
    static constexpr int kBarcodeCount = 10;
    static constexpr int kVatCount = 9;

    // The rate fields take the program's decimal separator as it is now.
    explicit TParaDlg(IMessageBox& messages, QWidget* parent = nullptr);

    // Loads the set from the settings file, shows the dialog modally and on
    // OK saves it. True when OK was pressed and everything was written.
    bool EditParameters();

    void LoadParameters(const QString& path);
    // Writes every item in a fixed order, in one replacement of the file; a
    // rate or text the operator did not change goes back exactly as it was
    // loaded (even where its field could not show it). A refused write is shown to
    // the operator ("Unable to write to ..."), the file keeps its old content
    // and the result is false.
    bool SaveParameters(const QString& path);

    // Ticking a VAT box enables its rate field; clearing it disables the field,
    // which keeps its text. Shared by the nine boxes.
    void VATCB4Click(int number);
    // The tax-free choice changes nothing else.
    void TaxFreeCBChange() {}

    // The font of the Font command; the dialog keeps its fixed size fitted
    // to the new font.
    void SetFontForAll(const QFont& font);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void ShowTaxFreeChoices();
    void FitSize();
    void SetRateText(QLineEdit* field, const QString& stored);
    void Remember(const SettingsFile& settings, const QString& key, const QString& shown);
    QString ValueToSave(const QString& key, const QString& shown) const;

    // Each rate and text key as the file held it at the last load, and as its
    // field showed it then.
    struct Loaded
    {
        QString stored;
        QString shown;
    };
    std::map<QString, Loaded> m_loaded;

    IMessageBox& m_messages;
    QChar m_separator;
    QString m_zeroRate;
    QScrollArea* m_scrollArea = nullptr;

    QSpinBox* m_printSpeed = nullptr;
    QLineEdit* m_decRate = nullptr;
    QLineEdit* m_incRate = nullptr;
    std::array<QCheckBox*, kFlagCount> m_flags{};
    std::array<QLineEdit*, kClerkCount> m_clerkNames{};
    std::array<QLineEdit*, kClerkCount> m_clerkPasswords{};
    std::array<QLineEdit*, kHeaderCount> m_headers{};
    std::array<QLineEdit*, kTailCount> m_tails{};
    std::array<QSpinBox*, kBarcodeCount> m_barcodes{};
    std::array<QLineEdit*, kVatCount> m_vatRates{};
    std::array<QCheckBox*, kVatCount> m_vatEnabled{};
    QComboBox* m_taxFree = nullptr;
};
