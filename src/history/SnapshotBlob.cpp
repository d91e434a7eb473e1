#include "history/SnapshotBlob.h"

#include "model/ByteOrder.h"

#include <algorithm>

namespace SnapshotBlob {
namespace {

constexpr qsizetype kNumberBytes = 2;
constexpr qsizetype kEntryBytes = kNumberBytes + qsizetype(PLURecordLayout::kSize);
constexpr qsizetype kDepartmentBytes = qsizetype(DeptmentRecordLayout::kSize) * TableSnapshot::kDepartments;

const quint8* Bytes(const QByteArray& bytes, qsizetype at)
{
    return reinterpret_cast<const quint8*>(bytes.constData()) + at;
}

} // namespace

QByteArray PLUs(const TableSnapshot& snapshot)
{
    QByteArray bytes(qsizetype(snapshot.plus.size()) * kEntryBytes, '\0');
    auto* at = reinterpret_cast<quint8*>(bytes.data());
    for (const auto& [number, record] : snapshot.plus) {
        ByteOrder::WriteBig16(at, quint16(number));
        std::copy(record.cbegin(), record.cend(), at + kNumberBytes);
        at += kEntryBytes;
    }
    return bytes;
}

QByteArray Departments(const TableSnapshot& snapshot)
{
    QByteArray bytes;
    if (!snapshot.departments)
        return bytes;
    for (const DeptmentRecord& record : *snapshot.departments)
        bytes.append(reinterpret_cast<const char*>(record.data()), qsizetype(record.size()));
    return bytes;
}

bool ReadPLUs(const QByteArray& bytes, TableSnapshot& snapshot)
{
    if (bytes.size() % kEntryBytes != 0)
        return false;
    std::map<int, PLURecord> plus;
    for (qsizetype at = 0; at < bytes.size(); at += kEntryBytes) {
        const int number = ByteOrder::ReadBig16(Bytes(bytes, at));
        if (number < PluRange::kFirst || number > PluRange::kLast)
            return false;
        PLURecord record{};
        std::copy_n(Bytes(bytes, at + kNumberBytes), record.size(), record.begin());
        plus.insert_or_assign(number, record);
    }
    snapshot.plus = std::move(plus);
    return true;
}

bool ReadDepartments(const QByteArray& bytes, TableSnapshot& snapshot)
{
    if (bytes.isEmpty()) {
        snapshot.departments.reset();
        return true;
    }
    if (bytes.size() != kDepartmentBytes)
        return false;
    TableSnapshot::Departments records{};
    for (int d = 0; d < TableSnapshot::kDepartments; ++d)
        std::copy_n(Bytes(bytes, qsizetype(d) * qsizetype(DeptmentRecordLayout::kSize)),
                    DeptmentRecordLayout::kSize, records[std::size_t(d)].begin());
    snapshot.departments = records;
    return true;
}

} // namespace SnapshotBlob
