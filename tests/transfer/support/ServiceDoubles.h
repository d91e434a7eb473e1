#pragma once

#include "link/QelmIBus.h"
#include "link/support/ScriptedSerialDevice.h"
#include "model/MessageBox.h"
#include "transfer/MemoryDump.h"
#include "transfer/ProgramLoad.h"
#include "transfer/Progress.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// The progress window as a recorder. The operator presses OK on an error at
// once (WaitDismissed), and Cancel when the progress reaches cancelAt.
class ProgressRecorder final : public IProgress
{
public:
    QStringList statuses; // "N:text" or "E:text", as shown
    QList<int> margins;
    int closes = 0;
    int waits = 0;
    std::optional<int> cancelAt;

    void Show() override { m_state = State::Running; }
    void Close() override { ++closes; }
    void ShowStatus(Mode mode, const QString& text) override;
    void SetMargin(int total) override { margins << total; }
    void SetProgress(int current) override;
    State ProgressState() const override { return m_state; }
    void WaitDismissed() override;
    void SetCancelHandler(std::function<void()> handler) override { m_cancel = std::move(handler); }
    void PressCancel();

private:
    State m_state = State::Running;
    std::function<void()> m_cancel;
};

class MessageRecorder final : public IMessageBox
{
public:
    QStringList shown; // errors and questions
    int beeps = 0;
    bool answerYes = true;

    void Error(const QString& text) override { shown << text; }
    void Information(const QString& text) override { shown << text; }
    SaveAnswer AskYesNoCancel(const QString&) override { return SaveAnswer::Cancel; }
    bool AskYesNo(const QString& text) override
    {
        shown << text;
        return answerYes;
    }
    void Beep() override { ++beeps; }
};

// The operator's choices, fixed in advance.
class FixedRange : public IMemoryRangeDialog
{
public:
    std::optional<MemoryRangeChoice> answer;
    std::optional<MemoryRangeChoice> Run(const QString&) override { return answer; }
};

class FixedFile : public IOpenFileChooser
{
public:
    QString answer;
    QString ChooseOpenFile(const OpenFileFilter&) override { return answer; }
};

// The register behind a scripted device: acknowledges every frame and answers
// every request with a reply frame; absent, it answers 0x55 to everything.
// Frames whose command/parameter is in `silentTo` get no answer at all.
class FakeRegister
{
public:
    bool absent = false;
    QStringList silentTo; // e.g. "2/1"

    explicit FakeRegister(ScriptedSerialDevice& device);

    // What the program sent, in order: "login", "logout" (with ":failed" for
    // the failure flag), "read", "sync" for a wake-up pattern, else
    // "command/parameter".
    const QStringList& Transcript() const { return m_transcript; }

private:
    QList<QByteArray> Answer(const QByteArray& written);

    QStringList m_transcript;
};

// A link on a scripted device with short retries; its port-open message goes
// to a recorder.
struct ScriptedLink
{
    ScriptedLink();

    ScriptedSerialDevice* device = nullptr;
    std::unique_ptr<TQelmIBusComm> link;
    MessageRecorder messages;
};
