#pragma once

#include "link/Frame.h"
#include "sim/SimContents.h"
#include "sim/SimFrameReceiver.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

// One thing the I/O side must do, in order.
struct TSimAction {
    enum class Kind {
        Write,       // send bytes
        Pause,       // wait pauseMicros before the next action
        SwitchRate,  // from now on the register listens and talks at rate
        Note,        // one line for the frame log
    };
    Kind kind = Kind::Write;
    QByteArray bytes;
    int pauseMicros = 0;
    int rate = 0;
    QString note;
};

// The simulated register's protocol engine: received bytes in, actions out.
// It does no I/O and knows no clock; the fault options are applied here.
//
// The register acknowledges a frame with 0x02, rejects it with 0x55 (also on
// a bad checksum) and answers a request with a reply frame that repeats the
// request's command and parameter bytes, followed by 0xFF. It understands a
// log-in only at the rate it listens on; after acknowledging one it switches
// to the rate the log-in asks for, and after a log-out (or the end of a
// program load) it returns to its idle rate.
class TSimEngine {
public:
    struct Options {
        int idleRate = 9600;       // the rate listened on outside a session
        int dropFrames = 0;        // ignore the first N frames
        int nakFrames = 0;         // then answer the next N frames with 0x55
        int corruptReplies = 0;    // send the first N reply frames with a bad checksum
        int failAfter = -1;        // stop answering after N frames (< 0: never)
        bool noise = false;        // stray bytes below 0x80 before each answer
        bool split = false;        // reply frames in small chunks with short pauses
        bool rejectProgram = false;  // refuse the end of a program load
        std::optional<quint32> accessCode;  // when set, log-ins must carry it
        std::optional<int> losePlu;  // PLU number whose downloaded record is acknowledged but not kept
    };

    enum class Session { None, Normal, ProgramLoad };

    static constexpr int kRates[] = {9600, 19200, 38400, 57600, 115200};
    static bool IsRegisterRate(int rate);

    TSimEngine(TSimContents& contents, Options options);

    // Bytes as they arrived, with the line rate the sender used.
    std::vector<TSimAction> Feed(QByteArrayView bytes, int lineRate);

    int ListeningRate() const { return m_listeningRate; }
    Session CurrentSession() const { return m_session; }
    quint64 FramesReceived() const { return m_framesReceived; }

private:
    enum class Answer { Ack, Nak, Reply };
    struct Outcome {
        Answer answer = Answer::Nak;
        TSimContents::Block data{};
        QString detail;
        std::optional<int> switchRate;
    };
    enum class LoadPhase { AwaitStart, Blocks };

    void HandleFrame(const Frame::Bytes& frame, bool atListeningRate, int lineRate, std::vector<TSimAction>& out);
    Outcome Dispatch(const Frame::Payload& request);
    Outcome LogIn(const Frame::Payload& request);
    Outcome LogOut();
    Outcome Status() const;
    Outcome MemoryRead(const quint8* data) const;
    Outcome PluDownload(const quint8* data);
    Outcome PluUpload(quint16 group) const;
    Outcome DepartmentDownload(quint16 package, const quint8* data);
    Outcome DepartmentUpload(quint16 package) const;
    Outcome ParameterDownload(quint16 half, const quint8* data);
    Outcome FontPackage(quint16 package, const quint8* data);
    Outcome ProgramLoad(const Frame::Payload& request);
    Outcome EndProgramLoad(quint16 checksum);
    void EndSession(Outcome& outcome);

    void Transmit(const QByteArray& bytes, bool splittable, std::vector<TSimAction>& out);
    void SendReply(const Frame::Payload& request, const TSimContents::Block& data,
                   std::vector<TSimAction>& out);
    QByteArray NoiseBytes();
    quint32 NextRandom();

    TSimContents& m_contents;
    Options m_options;
    TSimFrameReceiver m_receiver;
    int m_listeningRate;
    Session m_session = Session::None;
    quint64 m_framesReceived = 0;
    int m_dropLeft;
    int m_nakLeft;
    int m_corruptLeft;
    quint32 m_random = 0x2545F491u;

    LoadPhase m_loadPhase = LoadPhase::AwaitStart;
    std::optional<int> m_lastLoadBlock;
    std::optional<Frame::Payload> m_lastLoadRequest;
    Outcome m_lastLoadOutcome;
};
