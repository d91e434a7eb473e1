#include "transfer/ParameterBlock.h"

#include "transfer/ParameterCheck.h"
#include "config/SettingsFile.h"
#include "model/ZeroRateText.h"
#include "model/ByteOrder.h"
#include "model/FieldCodec.h"

#include <algorithm>
#include <utility>
#include <vector>

using namespace ParameterBlockLayout;

namespace {

const QString kSection = QStringLiteral("Default");
const QString kDiscountKey = QStringLiteral("-% rate");
const QString kSurchargeKey = QStringLiteral("+% rate");
const QString kPrintSpeedKey = QStringLiteral("Print Speed");
const QString kTaxFreeKey = QStringLiteral("Tax-free");

constexpr int kRateDecimals = 2;  // percent × 100
constexpr int kPrintSpeedDefault = 1;
constexpr int kRateTextWidth = 5;   // "07.50"

QString Numbered(const char* prefix, int n)
{
    return QLatin1String(prefix) + QString::number(n);
}

QString FlagKey(int byte, int bit)
{
    return QStringLiteral("Flag%1%2").arg(byte).arg(bit);
}

QString ZeroRate()
{
    return ZeroRateText(FieldCodec::DecimalSeparator());
}

// ---- reading the settings into the block ----

void PutText(ParameterBlock& block, std::size_t offset, std::size_t width, const QString& text)
{
    FieldCodec::PutText(block.data() + offset, width, text);
}

quint16 RateValue(const QString& text)
{
    return quint16(FieldCodec::ScaledLow32(text, kRateDecimals));
}

// Blanks and control characters around the number are ignored; anything that
// is not a whole 32-bit number counts as 0.
quint16 PasswordValue(const QString& text)
{
    bool ok = false;
    const qint32 value = WithoutBlanksAround(text).toInt(&ok, 10);
    return ok ? quint16(quint32(value)) : 0;
}

// ---- writing the block into the settings ----

// Receipt texts keep their bytes, control codes for the printer included;
// the settings file itself blanks CR and LF, which a line cannot hold.
QString TakeText(const ParameterBlock& block, std::size_t offset, std::size_t width)
{
    return FieldCodec::TakeBytes(block.data() + offset, width);
}

QString RateText(quint16 value)
{
    QString text = FieldCodec::ScaledText(value, kRateDecimals, kRateDecimals);
    if (text.size() < kRateTextWidth)
        text.prepend(QLatin1Char('0'));
    return text;
}

quint16 Value16(const ParameterBlock& block, std::size_t offset)
{
    return ByteOrder::ReadBig16(block.data() + offset);
}

} // namespace

ParameterBlock EncodeParameterBlock(const SettingsFile& settings)
{
    ParameterBlock block{};
    const auto text = [&](const QString& key, const QString& fallback = QString()) {
        return settings.ReadText(kSection, key, fallback);
    };

    ByteOrder::WriteBig16(block.data() + kDiscountRate, RateValue(text(kDiscountKey, ZeroRate())));
    ByteOrder::WriteBig16(block.data() + kSurchargeRate, RateValue(text(kSurchargeKey, ZeroRate())));

    for (int b = 0; b < kOptionBytes; ++b) {
        quint8 bits = 0;
        for (int i = 0; i < 8; ++i) {
            if (settings.ReadFlag(kSection, FlagKey(b, i), false))
                bits |= quint8(1u << i);
        }
        block[kOptionBits + b] = bits;
    }

    for (int n = 1; n <= kHeaderCount; ++n)
        PutText(block, kHeaderLines + kLineWidth * (n - 1), kLineWidth, text(Numbered("Header", n)));
    for (int n = 1; n <= kTailCount; ++n)
        PutText(block, kTailLines + kLineWidth * (n - 1), kLineWidth, text(Numbered("Tail", n)));

    for (int n = 1; n <= kBarcodeTypeCount; ++n)
        block[kBarcodeTypes + (n - 1)] = quint8(settings.ReadInteger(kSection, Numbered("BCode", n), 0));
    block[kPrintSpeed] = quint8(settings.ReadInteger(kSection, kPrintSpeedKey, kPrintSpeedDefault));

    for (int n = 1; n <= kClerkCount; ++n) {
        ByteOrder::WriteBig16(block.data() + kClerkPasswords + 2 * (n - 1),
                              PasswordValue(text(Numbered("ClerkPWD", n))));
        PutText(block, kClerkNames + kClerkNameWidth * (n - 1), kClerkNameWidth,
                text(Numbered("ClerkName", n)));
    }

    // The tax-free choice is not sent: no rate goes out as 10000 on its account.
    for (int n = 1; n <= kVatCount; ++n) {
        quint16 rate = RateValue(text(Numbered("VAT", n), ZeroRate()));
        if (!settings.ReadFlag(kSection, Numbered("VATEnable", n), true))
            rate = kVatDisabled;
        ByteOrder::WriteBig16(block.data() + kVatRates + 2 * (n - 1), rate);
    }
    return block;
}

void WriteParameterBlock(const ParameterBlock& block, SettingsFile& settings)
{
    std::vector<std::pair<QString, QString>> values;
    const auto text = [&values](const QString& key, const QString& value) { values.emplace_back(key, value); };
    const auto number = [&text](const QString& key, int value) { text(key, QString::number(value)); };

    text(kDiscountKey, RateText(Value16(block, kDiscountRate)));
    text(kSurchargeKey, RateText(Value16(block, kSurchargeRate)));

    for (int b = 0; b < kOptionBytes; ++b) {
        for (int i = 0; i < 8; ++i)
            number(FlagKey(b, i), (block[kOptionBits + b] >> i) & 1u);
    }

    for (int n = 1; n <= kHeaderCount; ++n)
        text(Numbered("Header", n), TakeText(block, kHeaderLines + kLineWidth * (n - 1), kLineWidth));
    for (int n = 1; n <= kTailCount; ++n)
        text(Numbered("Tail", n), TakeText(block, kTailLines + kLineWidth * (n - 1), kLineWidth));

    for (int n = 1; n <= kBarcodeTypeCount; ++n)
        number(Numbered("BCode", n), block[kBarcodeTypes + (n - 1)]);
    number(kPrintSpeedKey, block[kPrintSpeed]);

    for (int n = 1; n <= kClerkCount; ++n)
        number(Numbered("ClerkPWD", n), Value16(block, kClerkPasswords + 2 * (n - 1)));
    for (int n = 1; n <= kClerkCount; ++n)
        text(Numbered("ClerkName", n), TakeText(block, kClerkNames + kClerkNameWidth * (n - 1), kClerkNameWidth));

    // 10001 and above: the rate is not in use; 10000: the tax-free rate.
    for (int n = 1; n <= kVatCount; ++n) {
        quint16 rate = Value16(block, kVatRates + 2 * (n - 1));
        const bool enabled = rate < kVatDisabled;
        number(Numbered("VATEnable", n), enabled ? 1 : 0);
        if (!enabled) {
            rate = 0;
        } else if (rate == kVatTaxFree) {
            number(kTaxFreeKey, n - 1);
            rate = 0;
        }
        text(Numbered("VAT", n), RateText(rate));
    }
    // One replacement of the file: a failure or a kill leaves the old set whole.
    settings.WriteTexts(kSection, values);
}
