#include "dialogs/ParaDlg.h"

#include "widgets/DialogParts.h"
#include "model/Language.h"
#include "model/MessageBox.h"
#include "model/Numbers.h"
#include "config/AppPaths.h"
#include "transfer/ParameterCheck.h"
#include "model/RateFieldText.h"
#include "config/SettingsFile.h"
#include "model/ZeroRateText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QValidator>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QKeyEvent>

namespace {

const QString kSection = QStringLiteral("Default");

constexpr int kLineLength = 24;
constexpr int kClerkFieldLength = 10;
using ParameterRanges::kBarcodeTypeMax;
using ParameterRanges::kBarcodeTypeMin;
using ParameterRanges::kPrintSpeedMax;
using ParameterRanges::kPrintSpeedMin;
constexpr int kFirstBarcodeLabel = 20;
constexpr int kBarcodeRows = 5;
constexpr int kTaxFreeDefault = 8;
// Flags 00 to 02 are kept in the file but not offered to the operator.
constexpr int kFirstShownFlag = 3;
constexpr int kShownHeaders = 4;
// The scrolling panel shows about this many text lines at a time.
constexpr int kVisibleLines = 26;

const char* const kFlagCaptions[TParaDlg::kFlagCount] = {
    "Not print subtotal",
    "Angel",
    "Print while item value is zero in report",
    "ForceTender",
    "Don't erase counters of report CASH REPORT automatically",
    "Don't erase counters of report CLERK REPORT automatically",
    "Don't erase counters of report SALES REPORT automatically",
    "Not warning when AC lost.",
};

QString Numbered(const char* prefix, int number)
{
    return QString::fromLatin1(prefix) + QString::number(number);
}

QString FlagKey(int bit)
{
    return QStringLiteral("Flag0") + QString::number(bit);
}

QString FlagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QChar VatLetter(int number)
{
    return QChar(u'A' + number - 1);
}

// Texts end up in single-byte fields of the register and the settings file.
class Latin1Validator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override
    {
        for (const QChar c : input) {
            if (c.unicode() > 0xFF)
                return Invalid;
        }
        return Acceptable;
    }
};

// A number field changed only by stepping (arrows, cursor keys, the wheel
// while it has the focus); its text cannot be typed.
class StepOnlySpinBox : public QSpinBox
{
public:
    StepOnlySpinBox(int minimum, int maximum, QWidget* parent) : QSpinBox(parent)
    {
        setRange(minimum, maximum);
        lineEdit()->setReadOnly(true);
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    // Scrolling the panel over the field must not change it.
    void wheelEvent(QWheelEvent* event) override
    {
        if (hasFocus())
            QSpinBox::wheelEvent(event);
        else
            event->ignore();
    }
};

QLineEdit* TextField(const QString& name, int maxLength, QValidator* validator, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setMaxLength(maxLength);
    field->setValidator(validator);
    return field;
}

QSpinBox* StepField(const QString& name, int minimum, int maximum, QWidget* parent)
{
    auto* field = new StepOnlySpinBox(minimum, maximum, parent);
    field->setObjectName(name);
    return field;
}

// A rate field typed like a calculator (RateEntry); keys that move the
// cursor or come by mouse fall back to the mask's own editing.
class RateEdit : public QLineEdit
{
public:
    RateEdit(QChar separator, QWidget* parent) : QLineEdit(parent), m_separator(separator) {}

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const QString text = event->text();
        const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (plain && text.size() == 1 && (text[0].isDigit() || text[0] == u'.' || text[0] == u',')) {
            if (!m_typing || hasSelectedText())
                m_entry = RateEntry{};
            if (m_entry.Type(text[0]))
                ShowEntry();
            else
                QApplication::beep();
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Backspace && m_typing && !hasSelectedText()) {
            if (m_entry.Erase())
                ShowEntry();
            event->accept();
            return;
        }
        m_typing = false;
        QLineEdit::keyPressEvent(event);
    }

    void focusInEvent(QFocusEvent* event) override
    {
        m_typing = false;
        QLineEdit::focusInEvent(event);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        m_typing = false;
        QLineEdit::mousePressEvent(event);
    }

private:
    void ShowEntry()
    {
        m_typing = true;
        setText(m_entry.Text(m_separator));
        // The caret stays where the next digit goes.
        setCursorPosition(m_entry.inDecimals ? 3 + int(m_entry.decimals.size()) : 2);
    }

    QChar m_separator;
    RateEntry m_entry;
    bool m_typing = false;
};

QLineEdit* RateField(const QString& name, QChar separator, const QString& zeroRate, QWidget* parent)
{
    auto* field = new RateEdit(separator, parent);
    field->setObjectName(name);
    field->setInputMask(RateFieldMask(separator));
    field->setText(zeroRate);
    return field;
}

// A label that shows a number or letter, the same in every language.
QLabel* DataLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = NamedLabel(name, text, parent);
    label->setProperty("languageData", true);
    return label;
}

// A label and its field; both hidden when the item is not offered.
void AddRow(QGridLayout* layout, int row, QLabel* label, QWidget* field, bool shown = true)
{
    label->setBuddy(field);
    layout->addWidget(label, row, 0);
    layout->addWidget(field, row, 1);
    label->setVisible(shown);
    field->setVisible(shown);
}

} // namespace

TParaDlg::TParaDlg(IMessageBox& messages, QWidget* parent)
    : QDialog(parent),
      m_messages(messages),
      m_separator(DecimalSeparator()),
      m_zeroRate(ZeroRateText(m_separator))
{
    setObjectName(QStringLiteral("ParaDlg"));
    setWindowTitle(QStringLiteral("Parameter"));
    BuildControls();
    FitSize();
}

void TParaDlg::BuildControls()
{
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("ParaPanel"));
    auto* panelLayout = new QVBoxLayout(panel);
    auto* latin1 = new Latin1Validator(this);
    // The register holds a password as a number.
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);

    // Print speed, the two rates and the option flags.
    auto* options = NamedGroup(QStringLiteral("OptionGB"), QString(), panel);
    auto* optionLayout = new QGridLayout(options);
    m_printSpeed = StepField(QStringLiteral("PrnSpeedSE"), kPrintSpeedMin, kPrintSpeedMax, options);
    AddRow(optionLayout, 0, NamedLabel(QStringLiteral("PrnSpeedLbl"), QStringLiteral("Print speed:"), options), m_printSpeed);
    m_decRate = RateField(QStringLiteral("DecRateME"), m_separator, m_zeroRate, options);
    AddRow(optionLayout, 1, NamedLabel(QStringLiteral("DecRateLbl"), QStringLiteral("-% rate:"), options), m_decRate, false);
    m_incRate = RateField(QStringLiteral("IncRateME"), m_separator, m_zeroRate, options);
    AddRow(optionLayout, 2, NamedLabel(QStringLiteral("IncRateLbl"), QStringLiteral("+% rate:"), options), m_incRate, false);
    for (int bit = 0; bit < kFlagCount; ++bit) {
        auto* flag = new QCheckBox(QString::fromLatin1(kFlagCaptions[bit]), options);
        flag->setObjectName(FlagKey(bit));
        flag->setVisible(bit >= kFirstShownFlag);
        optionLayout->addWidget(flag, 3 + bit, 0, 1, 3);
        m_flags[bit] = flag;
    }
    optionLayout->setColumnStretch(2, 1);
    panelLayout->addWidget(options);

    // Four clerks, each with a name and a password.
    auto* clerks = NamedGroup(QStringLiteral("ClerkGB"), QString(), panel);
    auto* clerkLayout = new QGridLayout(clerks);
    for (int n = 1; n <= kClerkCount; ++n) {
        m_clerkNames[n - 1] = TextField(Numbered("ClerkNameEd", n), kClerkFieldLength, latin1, clerks);
        m_clerkPasswords[n - 1] = TextField(Numbered("ClerkPWDEd", n), kClerkFieldLength, digits, clerks);
        auto* nameLabel = NamedLabel(Numbered("ClerkNameLbl", n), QStringLiteral("Name:"), clerks);
        auto* passwordLabel = NamedLabel(Numbered("ClerkPWDLbl", n), QStringLiteral("Password:"), clerks);
        nameLabel->setBuddy(m_clerkNames[n - 1]);
        passwordLabel->setBuddy(m_clerkPasswords[n - 1]);
        clerkLayout->addWidget(NamedLabel(Numbered("ClerkLbl", n), Numbered("Clerk", n), clerks), n - 1, 0);
        clerkLayout->addWidget(nameLabel, n - 1, 1);
        clerkLayout->addWidget(m_clerkNames[n - 1], n - 1, 2);
        clerkLayout->addWidget(passwordLabel, n - 1, 3);
        clerkLayout->addWidget(m_clerkPasswords[n - 1], n - 1, 4);
    }
    panelLayout->addWidget(clerks);

    auto* headers = NamedGroup(QStringLiteral("HeaderGB"), QStringLiteral("&Header message"), panel);
    auto* headerLayout = new QGridLayout(headers);
    for (int n = 1; n <= kHeaderCount; ++n) {
        m_headers[n - 1] = TextField(Numbered("HeaderEd", n), kLineLength, latin1, headers);
        AddRow(headerLayout, n - 1, DataLabel(Numbered("HeaderLbl", n), Numbered("", n) + u':', headers),
               m_headers[n - 1], n <= kShownHeaders);
    }
    panelLayout->addWidget(headers);

    auto* tails = NamedGroup(QStringLiteral("TailGB"), QStringLiteral("&Advertisement"), panel);
    auto* tailLayout = new QGridLayout(tails);
    for (int n = 1; n <= kTailCount; ++n) {
        m_tails[n - 1] = TextField(Numbered("TailEd", n), kLineLength, latin1, tails);
        AddRow(tailLayout, n - 1, DataLabel(Numbered("TailLbl", n), Numbered("", n) + u':', tails), m_tails[n - 1]);
    }
    panelLayout->addWidget(tails);

    // Ten barcode types in two columns, labelled 20 to 29.
    auto* barcodes = NamedGroup(QStringLiteral("BCodeGB"), QStringLiteral("&Barcode type"), panel);
    auto* barcodeLayout = new QGridLayout(barcodes);
    for (int n = 1; n <= kBarcodeCount; ++n) {
        m_barcodes[n - 1] = StepField(Numbered("BCodeSE", n), kBarcodeTypeMin, kBarcodeTypeMax, barcodes);
        auto* label = DataLabel(Numbered("BCodeLbl", n), Numbered("", kFirstBarcodeLabel + n - 1) + u':', barcodes);
        label->setBuddy(m_barcodes[n - 1]);
        const int row = (n - 1) % kBarcodeRows;
        const int column = (n - 1) / kBarcodeRows * 2;
        barcodeLayout->addWidget(label, row, column);
        barcodeLayout->addWidget(m_barcodes[n - 1], row, column + 1);
    }
    panelLayout->addWidget(barcodes);

    // Nine VAT rates A to I, each switched on by its box.
    auto* vat = NamedGroup(QStringLiteral("VATGB"), QStringLiteral("&VAT Rate"), panel);
    auto* vatLayout = new QGridLayout(vat);
    for (int n = 1; n <= kVatCount; ++n) {
        auto* enabled = new QCheckBox(QString(VatLetter(n)) + u':', vat);
        enabled->setObjectName(Numbered("VATCB", n));
        enabled->setProperty("languageData", true);
        enabled->setChecked(true);
        m_vatEnabled[n - 1] = enabled;
        m_vatRates[n - 1] = RateField(Numbered("VATME", n), m_separator, m_zeroRate, vat);
        connect(enabled, &QCheckBox::toggled, this, [this, n] { VATCB4Click(n); });
        vatLayout->addWidget(enabled, n - 1, 0);
        vatLayout->addWidget(m_vatRates[n - 1], n - 1, 1);
        vatLayout->addWidget(DataLabel(Numbered("VATPercentLbl", n), QStringLiteral("%"), vat), n - 1, 2);
    }
    m_taxFree = new QComboBox(vat);
    m_taxFree->setObjectName(QStringLiteral("TaxFreeCB"));
    for (int n = 1; n <= kVatCount; ++n)
        m_taxFree->addItem(QString());
    ShowTaxFreeChoices();
    m_taxFree->setCurrentIndex(kTaxFreeDefault);
    connect(m_taxFree, &QComboBox::currentIndexChanged, this, [this] { TaxFreeCBChange(); });
    auto* taxFreeLabel = NamedLabel(QStringLiteral("TaxFreeLbl"), QStringLiteral("Tax-free:"), vat);
    taxFreeLabel->setBuddy(m_taxFree);
    vatLayout->addWidget(taxFreeLabel, kVatCount, 0);
    vatLayout->addWidget(m_taxFree, kVatCount, 1);
    taxFreeLabel->hide();
    m_taxFree->hide();
    vatLayout->setColumnStretch(3, 1);
    panelLayout->addWidget(vat);

    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setObjectName(QStringLiteral("ScrollBox1"));
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setWidget(panel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_scrollArea);
    layout->addLayout(OkCancelRow(*this));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TParaDlg::FitSize()
{
    QWidget* panel = m_scrollArea->widget();
    panel->adjustSize();
    const QSize content = panel->sizeHint();
    const int frame = 2 * m_scrollArea->frameWidth();
    const int width = content.width() + m_scrollArea->verticalScrollBar()->sizeHint().width() + frame;
    const int height = qMin(content.height(), fontMetrics().height() * kVisibleLines) + frame;
    m_scrollArea->setFixedSize(width, height);
}

void TParaDlg::ShowTaxFreeChoices()
{
    for (int n = 1; n <= kVatCount; ++n)
        m_taxFree->setItemText(n - 1, Tr("ParaDlg", "TaxFreeCB.Item", "VAT %1").arg(VatLetter(n)));
}

void TParaDlg::showEvent(QShowEvent* event)
{
    // The texts may have changed to a language's since the size was fitted.
    ShowTaxFreeChoices();
    FitSize();
    QDialog::showEvent(event);
}

void TParaDlg::SetFontForAll(const QFont& font)
{
    setFont(font);
    FitSize();
}

void TParaDlg::VATCB4Click(int number)
{
    if (number < 1 || number > kVatCount)
        return;
    m_vatRates[number - 1]->setEnabled(m_vatEnabled[number - 1]->isChecked());
}

void TParaDlg::SetRateText(QLineEdit* field, const QString& stored)
{
    field->setText(RateFieldText(stored, m_separator));
}

void TParaDlg::Remember(const SettingsFile& settings, const QString& key, const QString& shown)
{
    // A missing key stands for what the control shows.
    m_loaded[key] = Loaded{settings.ReadText(kSection, key, shown), shown};
}

QString TParaDlg::ValueToSave(const QString& key, const QString& shown) const
{
    const auto loaded = m_loaded.find(key);
    if (loaded != m_loaded.end() && loaded->second.shown == shown)
        return loaded->second.stored;
    return shown;
}

void TParaDlg::LoadParameters(const QString& path)
{
    const SettingsFile settings(path);
    m_loaded.clear();
    const auto text = [&](QLineEdit* field, const QString& key, const QString& fallback = QString()) {
        field->setText(settings.ReadText(kSection, key, fallback));
        Remember(settings, key, field->text());
    };
    const auto rate = [&](QLineEdit* field, const QString& key) {
        SetRateText(field, settings.ReadText(kSection, key, m_zeroRate));
        Remember(settings, key, field->displayText());
    };
    // The spin fields clamp what the file holds into their ranges, and save
    // what they show.
    const auto step = [&](QSpinBox* field, const QString& key, int fallback) {
        field->setValue(settings.ReadInteger(kSection, key, fallback));
    };
    const auto flag = [&](QCheckBox* box, const QString& key, bool fallback) {
        box->setChecked(settings.ReadFlag(kSection, key, fallback));
    };

    rate(m_decRate, QStringLiteral("-% rate"));
    rate(m_incRate, QStringLiteral("+% rate"));
    step(m_printSpeed, QStringLiteral("Print Speed"), kPrintSpeedMin);
    for (int bit = 0; bit < kFlagCount; ++bit)
        flag(m_flags[bit], FlagKey(bit), false);
    for (int n = 1; n <= kClerkCount; ++n) {
        text(m_clerkNames[n - 1], Numbered("ClerkName", n));
        text(m_clerkPasswords[n - 1], Numbered("ClerkPWD", n));
    }
    for (int n = 1; n <= kHeaderCount; ++n)
        text(m_headers[n - 1], Numbered("Header", n));
    for (int n = 1; n <= kTailCount; ++n)
        text(m_tails[n - 1], Numbered("Tail", n));
    for (int n = 1; n <= kBarcodeCount; ++n)
        step(m_barcodes[n - 1], Numbered("BCode", n), kBarcodeTypeMin);
    for (int n = 1; n <= kVatCount; ++n) {
        rate(m_vatRates[n - 1], Numbered("VAT", n));
        flag(m_vatEnabled[n - 1], Numbered("VATEnable", n), true);
        VATCB4Click(n);
    }
    const QString taxFreeKey = QStringLiteral("Tax-free");
    const int taxFree = settings.ReadInteger(kSection, taxFreeKey, kTaxFreeDefault);
    m_taxFree->setCurrentIndex(taxFree >= 0 && taxFree < kVatCount ? taxFree : -1);
}

bool TParaDlg::SaveParameters(const QString& path)
{
    // Every key in a fixed order; a rate or text the operator did not change
    // goes back as the file held it (a rate of 100.00, a text longer than its
    // field), not as the control had to show it.
    std::vector<std::pair<QString, QString>> values;
    const auto put = [&](const QString& key, const QString& shown) { values.emplace_back(key, ValueToSave(key, shown)); };

    // A masked field's display text holds every position, untyped ones as 0.
    put(QStringLiteral("-% rate"), m_decRate->displayText());
    put(QStringLiteral("+% rate"), m_incRate->displayText());
    put(QStringLiteral("Print Speed"), QString::number(m_printSpeed->value()));
    for (int bit = 0; bit < kFlagCount; ++bit)
        put(FlagKey(bit), FlagText(m_flags[bit]->isChecked()));
    for (int n = 1; n <= kClerkCount; ++n) {
        put(Numbered("ClerkName", n), m_clerkNames[n - 1]->text());
        put(Numbered("ClerkPWD", n), m_clerkPasswords[n - 1]->text());
    }
    for (int n = 1; n <= kHeaderCount; ++n)
        put(Numbered("Header", n), m_headers[n - 1]->text());
    for (int n = 1; n <= kTailCount; ++n)
        put(Numbered("Tail", n), m_tails[n - 1]->text());
    for (int n = 1; n <= kBarcodeCount; ++n)
        put(Numbered("BCode", n), QString::number(m_barcodes[n - 1]->value()));
    for (int n = 1; n <= kVatCount; ++n) {
        put(Numbered("VAT", n), m_vatRates[n - 1]->displayText());
        put(Numbered("VATEnable", n), FlagText(m_vatEnabled[n - 1]->isChecked()));
    }
    put(QStringLiteral("Tax-free"), QString::number(m_taxFree->currentIndex()));

    try {
        SettingsFile(path).WriteTexts(kSection, values);
    } catch (const SettingsWriteError& error) {
        m_messages.Error(error.Message());
        return false;
    }
    return true;
}

bool TParaDlg::EditParameters()
{
    const QString path = AppPaths::SettingsPath();
    LoadParameters(path);
    if (exec() != QDialog::Accepted)
        return false;
    return SaveParameters(path);
}
