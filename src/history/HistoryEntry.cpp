#include "history/HistoryEntry.h"

#include <array>

QString HistoryEntry::TablesText() const
{
    static const std::array<const char*, kTransferTableCount> kNames{"plu", "department", "parameter"};
    QStringList names;
    for (int i = 0; i < kTransferTableCount; ++i) {
        if ((tables & TableBit(static_cast<TransferTable>(i))) != 0)
            names << QLatin1String(kNames[std::size_t(i)]);
    }
    QString text = names.join(QLatin1Char(','));
    if ((tables & TableBit(TransferTable::PLU)) != 0)
        text += QStringLiteral(" %1-%2").arg(range.begin).arg(range.end);
    return text;
}

QString HistoryEntry::ListLine() const
{
    QStringList fields{QString::number(id), time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                       command, port};
    if (tables != 0)
        fields << TablesText();
    fields << (error.isEmpty() ? outcome : outcome + QStringLiteral(": ") + error);
    return fields.join(QStringLiteral("  "));
}

QString OutcomeWord(const TransferResult& result)
{
    switch (result.outcome) {
    case TransferResult::Outcome::Done:
        return QStringLiteral("done");
    case TransferResult::Outcome::Cancelled:
        return QStringLiteral("cancelled");
    case TransferResult::Outcome::PortNotOpened:
    case TransferResult::Outcome::Failed:
    case TransferResult::Outcome::Refused:
        break;
    }
    return QStringLiteral("failed");
}
