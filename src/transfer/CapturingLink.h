#pragma once

#include "transfer/TableSnapshot.h"
#include "transfer/TransferLink.h"

// Passes every call on to another link and keeps the PLU and department
// records that the register acknowledged (downloads) or sent (uploads), and
// the price decimals of its status, so a transfer's table contents are known
// exactly as they travelled, whichever procedure moved them.
class CapturingLink final : public ITransferLink
{
public:
    explicit CapturingLink(ITransferLink& inner) : inner_(inner) {}

    void SetCommName(const QString& name) override { inner_.SetCommName(name); }
    void SetBaudRate(int index) override { inner_.SetBaudRate(index); }
    void SetActive(bool active) override { inner_.SetActive(active); }
    bool LogIn(quint32 accessCode, bool programLoad) override { return inner_.LogIn(accessCode, programLoad); }
    bool LogOut(quint32 accessCode, bool failed) override { return inner_.LogOut(accessCode, failed); }
    bool SendPacket(quint8 command, quint16 parameter) override;
    bool RequestPacket(quint8 command, quint16 parameter) override;
    std::span<quint8, kDataBytes> PacketData() override { return inner_.PacketData(); }
    void Abort() override { inner_.Abort(); }
    LinkFailure LastFailure() const override { return inner_.LastFailure(); }

    // What travelled so far; departments only once all nine did. Uploaded
    // PLUs outside `range` (a reply carries four) are left out.
    TableSnapshot Captured(PluRange range = {}) const;
    bool StatusSeen() const { return statusSeen_; }

private:
    void TakeDepartment(int number, const quint8* record);

    ITransferLink& inner_;
    TableSnapshot captured_;
    TableSnapshot::Departments departments_{};
    unsigned departmentsSeen_ = 0;
    bool statusSeen_ = false;
};
