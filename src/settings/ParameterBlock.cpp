#include "settings/ParameterBlock.h"

#include "settings/SettingsFile.h"
#include "settings/ZeroRateText.h"
#include "transfer/ByteOrder.h"
#include "transfer/FieldCodec.h"

#include <algorithm>

using namespace ParameterBlockLayout;

namespace {

const QString kSection = QStringLiteral("Default");
const QString kDiscountKey = QStringLiteral("-% rate");
const QString kSurchargeKey = QStringLiteral("+% rate");
const QString kPrintSpeedKey = QStringLiteral("Print Speed");
const QString kTaxFreeKey = QStringLiteral("Tax-free");

constexpr double kRateScale = 100.0;
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
    const QByteArray bytes = text.left(int(width)).toLatin1();
    std::copy(bytes.cbegin(), bytes.cend(), block.begin() + offset);
}

quint16 RateValue(const QString& text)
{
    return quint16(FieldCodec::ScaledLow32(text, kRateScale));
}

// Blanks and control characters around the number are ignored; anything that
// is not a whole 32-bit number counts as 0.
quint16 PasswordValue(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= ' ')
        ++first;
    while (last > first && text.at(last - 1).unicode() <= ' ')
        --last;
    bool ok = false;
    const qint32 value = text.mid(first, last - first).toInt(&ok, 10);
    return ok ? quint16(quint32(value)) : 0;
}

// ---- writing the block into the settings ----

QString TakeText(const ParameterBlock& block, std::size_t offset, std::size_t width)
{
    const auto begin = block.cbegin() + offset;
    const auto end = std::find(begin, begin + width, quint8(0));
    return QString::fromLatin1(reinterpret_cast<const char*>(&*begin), end - begin);
}

QString RateText(quint16 value)
{
    QString text = FieldCodec::FixedText(value / kRateScale, 2);
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
    settings.WriteText(kSection, kDiscountKey, RateText(Value16(block, kDiscountRate)));
    settings.WriteText(kSection, kSurchargeKey, RateText(Value16(block, kSurchargeRate)));

    for (int b = 0; b < kOptionBytes; ++b) {
        for (int i = 0; i < 8; ++i)
            settings.WriteFlag(kSection, FlagKey(b, i), (block[kOptionBits + b] >> i) & 1u);
    }

    for (int n = 1; n <= kHeaderCount; ++n)
        settings.WriteText(kSection, Numbered("Header", n),
                           TakeText(block, kHeaderLines + kLineWidth * (n - 1), kLineWidth));
    for (int n = 1; n <= kTailCount; ++n)
        settings.WriteText(kSection, Numbered("Tail", n),
                           TakeText(block, kTailLines + kLineWidth * (n - 1), kLineWidth));

    for (int n = 1; n <= kBarcodeTypeCount; ++n)
        settings.WriteInteger(kSection, Numbered("BCode", n), block[kBarcodeTypes + (n - 1)]);
    settings.WriteInteger(kSection, kPrintSpeedKey, block[kPrintSpeed]);

    for (int n = 1; n <= kClerkCount; ++n)
        settings.WriteText(kSection, Numbered("ClerkPWD", n),
                           QString::number(Value16(block, kClerkPasswords + 2 * (n - 1))));
    for (int n = 1; n <= kClerkCount; ++n)
        settings.WriteText(kSection, Numbered("ClerkName", n),
                           TakeText(block, kClerkNames + kClerkNameWidth * (n - 1), kClerkNameWidth));

    // 10001 and above: the rate is not in use; 10000: the tax-free rate.
    for (int n = 1; n <= kVatCount; ++n) {
        quint16 rate = Value16(block, kVatRates + 2 * (n - 1));
        const bool enabled = rate < kVatDisabled;
        settings.WriteFlag(kSection, Numbered("VATEnable", n), enabled);
        if (!enabled) {
            rate = 0;
        } else if (rate == kVatTaxFree) {
            settings.WriteInteger(kSection, kTaxFreeKey, n - 1);
            rate = 0;
        }
        settings.WriteText(kSection, Numbered("VAT", n), RateText(rate));
    }
}
