#include "transfer/CapturingLink.h"

#include "model/ByteOrder.h"
#include "transfer/RegisterStatus.h"

#include <algorithm>

namespace {

using namespace TableCommand;
using namespace PLUPackageLayout;
constexpr int kPLUsPerReply = 4;
constexpr unsigned kAllDepartments = (1u << TableSnapshot::kDepartments) - 1;

PLURecord RecordAt(const quint8* at)
{
    PLURecord record{};
    std::copy_n(at, record.size(), record.begin());
    return record;
}

} // namespace

bool CapturingLink::SendPacket(quint8 command, quint16 parameter)
{
    // The data area as it goes out; the register may not change it, but the
    // copy is taken before sending all the same.
    std::array<quint8, kDataBytes> sent{};
    const auto data = inner_.PacketData();
    std::copy(data.begin(), data.end(), sent.begin());
    if (!inner_.SendPacket(command, parameter))
        return false;

    if (command == kSendPLUs) {
        const int count = std::min<int>(sent[kEntryCount], kMaxEntries);
        for (int i = 0; i < count; ++i) {
            const quint8* entry = sent.data() + kFirstEntry + PLUEntryLayout::kSize * std::size_t(i);
            const quint32 index = ByteOrder::ReadLittle32(entry + PLUEntryLayout::kIndex);
            if (index < quint32(PluRange::kLast))
                captured_.plus.insert_or_assign(int(index) + 1, RecordAt(entry + PLUEntryLayout::kRecord));
        }
    } else if (command == kSendDepartments) {
        for (int i = 0; i < kDepartmentsPerPackage; ++i)
            TakeDepartment(kDepartmentsPerPackage * parameter + i + 1,
                           sent.data() + DeptmentRecordLayout::kSize * std::size_t(i));
    }
    return true;
}

bool CapturingLink::RequestPacket(quint8 command, quint16 parameter)
{
    if (!inner_.RequestPacket(command, parameter))
        return false;
    const auto data = inner_.PacketData();
    if (command == kStatus) {
        captured_.priceDecimals = ParseRegisterStatus(data).PriceDecimals;
        statusSeen_ = true;
    } else if (command == kReadPLUs) {
        for (int i = 0; i < kPLUsPerReply; ++i) {
            const int number = kPLUsPerReply * parameter + i + 1;
            if (number <= PluRange::kLast)
                captured_.plus.insert_or_assign(number, RecordAt(data.data() + PLURecordLayout::kSize * std::size_t(i)));
        }
    } else if (command == kReadDepartments) {
        for (int i = 0; i < kDepartmentsPerPackage; ++i)
            TakeDepartment(kDepartmentsPerPackage * parameter + i + 1,
                           data.data() + DeptmentRecordLayout::kSize * std::size_t(i));
    }
    return true;
}

void CapturingLink::TakeDepartment(int number, const quint8* record)
{
    if (number < 1 || number > TableSnapshot::kDepartments)
        return;
    std::copy_n(record, DeptmentRecordLayout::kSize, departments_[std::size_t(number - 1)].begin());
    departmentsSeen_ |= 1u << (number - 1);
}

TableSnapshot CapturingLink::Captured(PluRange range) const
{
    TableSnapshot snapshot;
    snapshot.priceDecimals = captured_.priceDecimals;
    for (const auto& [number, record] : captured_.plus) {
        if (number >= range.begin && number <= range.end)
            snapshot.plus.emplace(number, record);
    }
    if (departmentsSeen_ == kAllDepartments)
        snapshot.departments = departments_;
    return snapshot;
}
