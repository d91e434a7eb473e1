#pragma once

#include <QtGlobal>

#include <span>

// What the register tells about itself before a table transfer (command 0).
struct RegisterStatus
{
    // Prices travel as integers × 10^PriceDecimals.
    quint8 PriceDecimals = 0;
    // Downloads are refused while the register's reports are not cleared.
    bool ReportCleared = true;
    // Number of PLU totals records the register keeps; 0 or less means none.
    qint32 PLUTotalsCount = 0;
};

namespace RegisterStatusLayout {
constexpr std::size_t kPriceDecimals = 0;
constexpr std::size_t kReportState = 1;   // 0 when the reports are cleared
constexpr std::size_t kTotalsCount = 7;   // signed 32-bit, big-endian
constexpr std::size_t kDataBytes = 256;
} // namespace RegisterStatusLayout

// Reads the status from the data area of the register's reply.
RegisterStatus ParseRegisterStatus(std::span<const quint8, RegisterStatusLayout::kDataBytes> data);
