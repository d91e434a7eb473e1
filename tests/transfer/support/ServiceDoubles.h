#pragma once

#include "link/Frame.h"
#include "link/QelmIBus.h"
#include "link/support/ScriptedSerialDevice.h"
#include "model/MessageBox.h"
#include "transfer/Progress.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The progress window as a recorder. The operator presses OK on an error at
// once (WaitDismissed), and Cancel when the test says so.
class ProgressRecorder final : public IProgress
{
public:
    QStringList statuses; // "N:text" or "E:text", as shown
    std::vector<int> margins;
    std::vector<int> progress;
    int shows = 0;
    int closes = 0;
    int waits = 0;
    // Cancel is pressed when the progress reaches this package.
    std::optional<int> cancelAtProgress;

    void Show() override;
    void Close() override { ++closes; }
    void ShowStatus(Mode mode, const QString& text) override;
    void SetMargin(int total) override { margins.push_back(total); }
    void SetProgress(int current) override;
    State ProgressState() const override { return m_state; }
    void WaitDismissed() override;
    void SetCancelHandler(std::function<void()> handler) override { m_cancel = std::move(handler); }

    void PressCancel();
    bool HasCancelHandler() const { return bool(m_cancel); }

private:
    State m_state = State::Running;
    std::function<void()> m_cancel;
};

class MessageRecorder final : public IMessageBox
{
public:
    QStringList errors;
    QStringList questions;
    int beeps = 0;
    bool answerYes = true;

    void Error(const QString& text) override { errors << text; }
    void Information(const QString& text) override { errors << text; }
    SaveAnswer AskYesNoCancel(const QString&) override { return SaveAnswer::Cancel; }
    bool AskYesNo(const QString& text) override
    {
        questions << text;
        return answerYes;
    }
    void Beep() override { ++beeps; }
};

// The register at the far end of a scripted device. It acknowledges every
// frame, answers requests (command 14, parameter 16, which covers the status
// request and the memory reads) with the block the request names, and can be
// told to be absent (0x55 to everything) or to fall silent at some point.
class FakeRegister
{
public:
    using Payload = Frame::Payload;

    enum class Presence { Present, Absent, Silent };
    Presence presence = Presence::Present;
    // Requests for this block number are not answered.
    std::optional<int> silentAtBlock;
    // Frames whose first three payload bytes are these are not acknowledged.
    std::optional<std::array<quint8, 3>> silentAtHeader;

    // Byte i of block b of memory area code a as the register serves it.
    static quint8 MemoryByte(int block, int area, int i);

    explicit FakeRegister(ScriptedSerialDevice& device);

    // Every frame the program sent, in order (wake-up patterns are left out).
    const std::vector<Payload>& Frames() const { return m_frames; }
    void ForgetFrames() { m_frames.clear(); }
    // The raw writes that were not frames.
    QList<QByteArray> RawWrites() const;
    int CountFrames(quint8 p0, std::optional<quint8> p1 = {}, std::optional<quint8> p2 = {}) const;

    static bool IsLogIn(const Payload& p) { return p[0] == 14 && p[1] == 1 && p[2] == 0; }
    static bool IsLogOut(const Payload& p) { return p[0] == 14 && p[1] == 2 && p[2] == 0; }
    static bool IsBlockRequest(const Payload& p) { return p[0] == 14 && p[1] == 16 && p[2] == 0; }

private:
    QList<QByteArray> Answer(const ScriptedSerialDevice::Write& write);

    ScriptedSerialDevice& m_device;
    std::vector<Payload> m_frames;
};

// A link on a scripted device with short retries, its port-open message going
// to a recorder.
struct ScriptedLink
{
    ScriptedLink();

    ScriptedSerialDevice* device = nullptr;
    std::unique_ptr<TQelmIBusComm> link;
    MessageRecorder linkMessages;
};
