#pragma once

#include <QChar>
#include <QString>

#include <optional>

// What the operator types into the transfer dialogs, turned into plain values.

// The PLU range fields of the download and upload dialogs.
namespace PluRangeInput {

constexpr int kFirst = 1;
constexpr int kLast = 3000;

// The number a range field stands for. A text that is not a number at all
// (empty, letters) counts as 1; a number too large for an int counts as out
// of range rather than as 1, so it is refused.
int FieldValue(const QString& text);

// 1 <= begin <= end <= 3000.
bool IsValid(int begin, int end);

// What the operator is told of a range that is not valid.
QString InvalidRangeText();

} // namespace PluRangeInput

// The memory area, first block and block count of a memory dump.
struct MemoryRangeChoice
{
    enum Area { ROM = 0, RAM = 1, FISCAL = 2 };

    int area = ROM;
    int baseBlock = 0;
    int blockCount = 0;

    friend bool operator==(const MemoryRangeChoice&, const MemoryRangeChoice&) = default;
};

namespace MemoryRangeInput {

// Block numbers travel as 16-bit values.
constexpr int kLastBlock = 0xFFFF;

// The base field takes control keys and hexadecimal digits only.
bool AcceptsBaseKey(QChar key);

// The base block from hexadecimal digits and the block count from a decimal
// number. Nothing when either does not convert, when the count is below 1 or
// when the range would run past the last block.
std::optional<MemoryRangeChoice> Parse(int area, const QString& baseHex, const QString& countText);

} // namespace MemoryRangeInput
