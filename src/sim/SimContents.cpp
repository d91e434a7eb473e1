#include "sim/SimContents.h"

#include <algorithm>

using namespace SimRecords;

PluBytes TSimContents::Plu(qint64 index) const
{
    if (index < 0 || index >= qint64(m_plus.size()))
        return PluBytes{};
    return m_plus[static_cast<std::size_t>(index)];
}

bool TSimContents::SetPlu(qint64 index, const PluBytes& record)
{
    if (index < 0 || index >= kPluCount)
        return false;
    if (m_plus.empty())
        m_plus.resize(kPluCount);
    m_plus[static_cast<std::size_t>(index)] = record;
    return true;
}

DepartmentBytes TSimContents::Department(qint64 index) const
{
    if (index < 0 || index >= kDepartmentCount)
        return DepartmentBytes{};
    return m_departments[static_cast<std::size_t>(index)];
}

bool TSimContents::SetDepartment(qint64 index, const DepartmentBytes& record)
{
    if (index < 0 || index >= kDepartmentCount)
        return false;
    m_departments[static_cast<std::size_t>(index)] = record;
    return true;
}

TSimContents::Block TSimContents::ParameterHalf(int half) const
{
    Block bytes{};
    if (half == 0 || half == 1) {
        const auto first = m_parameters.begin() + half * kBlockBytes;
        std::copy(first, first + kBlockBytes, bytes.begin());
    }
    return bytes;
}

bool TSimContents::SetParameterHalf(int half, const quint8* bytes)
{
    if (half != 0 && half != 1)
        return false;
    std::copy(bytes, bytes + kBlockBytes, m_parameters.begin() + half * kBlockBytes);
    return true;
}

bool TSimContents::SetTotals(std::vector<TotalsFields> totals)
{
    if (totals.size() > static_cast<std::size_t>(kMaxTotals))
        return false;
    m_totals = std::move(totals);
    return true;
}

TSimContents::Block TSimContents::TotalsSlice(qint64 slice) const
{
    Block bytes{};
    const qint64 recordBytes = Totals::kBytes;
    const qint64 listBytes = static_cast<qint64>(m_totals.size()) * recordBytes;
    if (slice < 0 || slice >= (listBytes + kBlockBytes - 1) / kBlockBytes)
        return bytes;

    // Pack only the records that overlap the slice, then cut the slice out.
    const qint64 first = slice * kBlockBytes;
    const qint64 last = std::min(listBytes, first + kBlockBytes);
    const qint64 firstRecord = first / recordBytes;
    const qint64 endRecord = (last + recordBytes - 1) / recordBytes;
    std::vector<quint8> packed(static_cast<std::size_t>((endRecord - firstRecord) * recordBytes));
    for (qint64 r = firstRecord; r < endRecord; ++r)
        EncodeTotals(m_totals[static_cast<std::size_t>(r)],
                     packed.data() + (r - firstRecord) * recordBytes);
    const auto from = packed.begin() + (first - firstRecord * recordBytes);
    std::copy(from, from + (last - first), bytes.begin());
    return bytes;
}

bool TSimContents::StoreFontPackage(quint16 index, const quint8* bytes)
{
    if (index >= kMaxFontPackages)
        return false;
    Block& package = m_fontPackages[index];
    std::copy(bytes, bytes + kBlockBytes, package.begin());
    return true;
}

namespace {

QByteArray JoinBlocks(const std::map<quint16, TSimContents::Block>& blocks)
{
    if (blocks.empty())
        return {};
    const int count = blocks.rbegin()->first + 1;
    QByteArray bytes(count * TSimContents::kBlockBytes, '\0');
    for (const auto& [index, block] : blocks)
        std::copy(block.begin(), block.end(), bytes.begin() + index * TSimContents::kBlockBytes);
    return bytes;
}

} // namespace

QByteArray TSimContents::FontBytes() const
{
    return JoinBlocks(m_fontPackages);
}

QByteArray TSimContents::ProgramBytes() const
{
    return JoinBlocks(m_program.blocks);
}
