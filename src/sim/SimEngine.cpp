#include "sim/SimEngine.h"

#include "sim/SimBytes.h"
#include "sim/SimMemory.h"

#include <QStringList>

#include <algorithm>

using namespace SimRecords;

namespace {

// Command codes and the sub-codes of command 14.
constexpr quint8 kCmdStatus = 0;
constexpr quint8 kCmdParameterDownload = 1;
constexpr quint8 kCmdFontPackage = 2;
constexpr quint8 kCmdParameterUpload = 5;
constexpr quint8 kCmdTotalsUpload = 8;
constexpr quint8 kCmdDepartmentUpload = 10;
constexpr quint8 kCmdPluUpload = 11;
constexpr quint8 kCmdDepartmentDownload = 12;
constexpr quint8 kCmdPluDownload = 13;
constexpr quint8 kCmdSession = 14;
constexpr quint8 kCmdProgramLoad = 15;
constexpr quint16 kSubLogIn = 1;
constexpr quint16 kSubLogOut = 2;
constexpr quint16 kSubMemoryRead = 16;

// Log-in payload bytes.
constexpr std::size_t kLogInAccessCode = 3;  // 8-digit packed decimal, low pair first
constexpr std::size_t kLogInRateIndex = 13;
constexpr std::size_t kLogInMode = 14;       // 0: program load
constexpr quint8 kLogInProgramLoad = 0;

// Status reply data bytes.
constexpr std::size_t kStatusPriceDecimals = 0;
constexpr std::size_t kStatusReportState = 1;
constexpr std::size_t kStatusTotalsCount = 7;  // 32-bit big-endian

// Memory read request data bytes.
constexpr std::size_t kMemoryBlock = 0;        // 16-bit little-endian
constexpr std::size_t kMemorySelector = 2;

// Program load: markers carry a 16-bit value in data bytes 0..1; the start
// value the image holds lies at bytes 252..253 of its last block.
constexpr quint16 kProgramStart = 0;
constexpr quint16 kProgramEnd = 1;
constexpr std::size_t kImageStartValue = 252;

constexpr std::size_t kDataOffset = Frame::kDataOffset;

// The access code travels as eight packed digits, least significant pair first.
quint32 AccessCode(const quint8* p)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = value * 100 + (p[i] >> 4) * 10 + (p[i] & 0x0F);
    return value;
}

QString CommandName(quint8 command, quint16 parameter)
{
    switch (command) {
    case kCmdStatus: return QStringLiteral("status");
    case kCmdParameterDownload: return QStringLiteral("parameter download");
    case kCmdFontPackage: return QStringLiteral("font package");
    case kCmdParameterUpload: return QStringLiteral("parameter upload");
    case kCmdTotalsUpload: return QStringLiteral("PLU totals upload");
    case kCmdDepartmentUpload: return QStringLiteral("department upload");
    case kCmdPluUpload: return QStringLiteral("PLU upload");
    case kCmdDepartmentDownload: return QStringLiteral("department download");
    case kCmdPluDownload: return QStringLiteral("PLU download");
    case kCmdProgramLoad: return QStringLiteral("program load");
    case kCmdSession:
        if (parameter == kSubLogIn)
            return QStringLiteral("log-in");
        if (parameter == kSubLogOut)
            return QStringLiteral("log-out");
        if (parameter == kSubMemoryRead)
            return QStringLiteral("memory read");
        break;
    default:
        break;
    }
    return QStringLiteral("unknown command");
}

QString AnswerName(bool ack)
{
    return ack ? QStringLiteral("ack") : QStringLiteral("nak");
}

} // namespace

bool TSimEngine::IsRegisterRate(int rate)
{
    return std::find(std::begin(kRates), std::end(kRates), rate) != std::end(kRates);
}

TSimEngine::TSimEngine(TSimContents& contents, Options options)
    : m_contents(contents)
    , m_options(options)
    , m_listeningRate(options.idleRate)
    , m_dropLeft(std::max(0, options.dropFrames))
    , m_nakLeft(std::max(0, options.nakFrames))
    , m_corruptLeft(std::max(0, options.corruptReplies))
{
}

std::vector<TSimAction> TSimEngine::Feed(QByteArrayView bytes, int lineRate)
{
    std::vector<TSimAction> out;
    for (const char c : bytes) {
        // The listening rate may change with every frame handled.
        const bool atListeningRate = lineRate == m_listeningRate;
        if (m_receiver.Push(static_cast<quint8>(c), atListeningRate))
            HandleFrame(m_receiver.LastFrame(), m_receiver.LastFrameAtListeningRate(), lineRate, out);
    }
    return out;
}

void TSimEngine::HandleFrame(const Frame::Bytes& frame, bool atListeningRate, int lineRate,
                             std::vector<TSimAction>& out)
{
    auto note = [&out](const QString& text) {
        TSimAction action;
        action.kind = TSimAction::Kind::Note;
        action.note = text;
        out.push_back(std::move(action));
    };
    if (!atListeningRate) {
        note(QStringLiteral("ignored: frame sent at %1 bit/s while listening at %2 bit/s")
                 .arg(lineRate)
                 .arg(m_listeningRate));
        return;
    }
    const quint64 number = ++m_framesReceived;
    bool checksumError = false;
    const Frame::Payload request = Frame::DecodeFrame(frame, checksumError);
    const quint16 parameter = SimBytes::ReadLe16(request.data() + 1);
    const QString head = QStringLiteral("#%1 cmd %2 param %3 (%4): ")
                             .arg(number)
                             .arg(request[0])
                             .arg(parameter)
                             .arg(CommandName(request[0], parameter));

    if (m_options.failAfter >= 0 && number > quint64(m_options.failAfter)) {
        note(head + QStringLiteral("silent (failing)"));
        return;
    }
    if (m_dropLeft > 0) {
        --m_dropLeft;
        note(head + QStringLiteral("dropped"));
        return;
    }
    if (m_nakLeft > 0) {
        --m_nakLeft;
        Transmit(QByteArray(1, char(Frame::kRejected)), false, out);
        note(head + QStringLiteral("nak (injected)"));
        return;
    }
    if (checksumError) {
        Transmit(QByteArray(1, char(Frame::kRejected)), false, out);
        note(QStringLiteral("#%1: nak, bad checksum").arg(number));
        return;
    }

    const Outcome outcome = Dispatch(request);
    QString line = head;
    if (outcome.answer == Answer::Reply) {
        const bool corrupt = m_corruptLeft > 0;
        SendReply(request, outcome.data, out);
        line += corrupt ? QStringLiteral("reply with a bad checksum (injected)") : QStringLiteral("reply");
    } else {
        const bool ack = outcome.answer == Answer::Ack;
        Transmit(QByteArray(1, char(ack ? Frame::kAccepted : Frame::kRejected)), false, out);
        line += AnswerName(ack);
    }
    if (!outcome.detail.isEmpty())
        line += QStringLiteral(", ") + outcome.detail;
    note(line);
    if (outcome.switchRate && *outcome.switchRate != m_listeningRate) {
        m_listeningRate = *outcome.switchRate;
        TSimAction action;
        action.kind = TSimAction::Kind::SwitchRate;
        action.rate = m_listeningRate;
        out.push_back(std::move(action));
    }
}

TSimEngine::Outcome TSimEngine::Dispatch(const Frame::Payload& request)
{
    const quint8 command = request[0];
    const quint16 parameter = SimBytes::ReadLe16(request.data() + 1);
    const quint8* data = request.data() + kDataOffset;

    if (command == kCmdSession && parameter == kSubLogIn)
        return LogIn(request);
    if (command == kCmdSession && parameter == kSubLogOut)
        return LogOut();

    Outcome refused;
    if (m_session == Session::None) {
        refused.detail = QStringLiteral("not logged in");
        return refused;
    }
    switch (command) {
    case kCmdStatus: return Status();
    case kCmdSession:
        if (parameter == kSubMemoryRead)
            return MemoryRead(data);
        break;
    case kCmdParameterDownload: return ParameterDownload(parameter, data);
    case kCmdPluDownload: return PluDownload(data);
    case kCmdDepartmentDownload: return DepartmentDownload(parameter, data);
    case kCmdFontPackage: return FontPackage(parameter, data);
    case kCmdProgramLoad:
        if (m_session == Session::ProgramLoad)
            return ProgramLoad(request);
        refused.detail = QStringLiteral("no program-load log-in");
        return refused;
    case kCmdParameterUpload: {
        Outcome reply{Answer::Reply, m_contents.ParameterHalf(parameter), {}, {}};
        return reply;
    }
    case kCmdTotalsUpload: {
        Outcome reply{Answer::Reply, m_contents.TotalsSlice(parameter), {}, {}};
        return reply;
    }
    case kCmdPluUpload: return PluUpload(parameter);
    case kCmdDepartmentUpload: return DepartmentUpload(parameter);
    default:
        break;
    }
    refused.detail = QStringLiteral("unknown command");
    return refused;
}

TSimEngine::Outcome TSimEngine::LogIn(const Frame::Payload& request)
{
    Outcome outcome;
    const quint8 rateIndex = request[kLogInRateIndex];
    if (rateIndex >= std::size(kRates)) {
        outcome.detail = QStringLiteral("no line rate with index %1").arg(rateIndex);
        return outcome;
    }
    const quint32 code = AccessCode(request.data() + kLogInAccessCode);
    if (m_options.accessCode && code != *m_options.accessCode) {
        outcome.detail = QStringLiteral("wrong access code %1").arg(code);
        return outcome;
    }
    const bool programLoad = request[kLogInMode] == kLogInProgramLoad;
    m_session = programLoad ? Session::ProgramLoad : Session::Normal;
    m_loadPhase = LoadPhase::AwaitStart;
    m_lastLoadBlock.reset();
    m_lastLoadRequest.reset();
    outcome.answer = Answer::Ack;
    outcome.switchRate = kRates[rateIndex];
    outcome.detail = QStringLiteral("%1session at %2 bit/s")
                         .arg(programLoad ? QStringLiteral("program-load ") : QString())
                         .arg(kRates[rateIndex]);
    return outcome;
}

TSimEngine::Outcome TSimEngine::LogOut()
{
    Outcome outcome;
    outcome.answer = Answer::Ack;
    EndSession(outcome);
    return outcome;
}

void TSimEngine::EndSession(Outcome& outcome)
{
    m_session = Session::None;
    outcome.switchRate = m_options.idleRate;
    const QString text = QStringLiteral("listening at %1 bit/s").arg(m_options.idleRate);
    outcome.detail = outcome.detail.isEmpty() ? text : outcome.detail + QStringLiteral(", ") + text;
}

TSimEngine::Outcome TSimEngine::Status() const
{
    Outcome outcome;
    outcome.answer = Answer::Reply;
    outcome.data[kStatusPriceDecimals] = m_contents.PriceDecimals();
    outcome.data[kStatusReportState] = m_contents.ReportState();
    SimBytes::WriteBe32(outcome.data.data() + kStatusTotalsCount,
                        static_cast<quint32>(m_contents.Totals().size()));
    return outcome;
}

TSimEngine::Outcome TSimEngine::MemoryRead(const quint8* data) const
{
    const quint16 block = SimBytes::ReadLe16(data + kMemoryBlock);
    const quint8 selector = data[kMemorySelector];
    Outcome outcome;
    outcome.answer = Answer::Reply;
    outcome.data = SimMemory::ReadBlock(selector, block);
    if (block >= SimMemory::BlockCount(selector))
        outcome.detail = QStringLiteral("no block %1 in area 0x%2, zeros").arg(block).arg(selector, 2, 16, QLatin1Char('0'));
    return outcome;
}

TSimEngine::Outcome TSimEngine::PluDownload(const quint8* data)
{
    using namespace PluPackage;
    Outcome outcome;
    const int count = data[kCount];
    if (count > kMaxEntries) {
        outcome.detail = QStringLiteral("%1 entries in one package").arg(count);
        return outcome;
    }
    // Check every entry before storing any, so a bad package changes nothing.
    for (int i = 0; i < count; ++i) {
        const quint32 index = SimBytes::ReadLe32(data + kFirstEntry + i * kEntryBytes);
        if (index >= quint32(TSimContents::kPluCount)) {
            outcome.detail = QStringLiteral("PLU index %1 out of range").arg(index);
            return outcome;
        }
    }
    QStringList numbers;
    for (int i = 0; i < count; ++i) {
        const quint8* entry = data + kFirstEntry + i * kEntryBytes;
        const quint32 index = SimBytes::ReadLe32(entry);
        if (m_options.losePlu && quint32(*m_options.losePlu) == index + 1) {
            numbers << QStringLiteral("%1(lost)").arg(index + 1);
            continue;
        }
        PluBytes record;
        std::copy(entry + kEntryRecord, entry + kEntryRecord + Plu::kBytes, record.begin());
        m_contents.SetPlu(index, record);
        numbers << QString::number(index + 1);
    }
    outcome.answer = Answer::Ack;
    outcome.detail = numbers.isEmpty() ? QStringLiteral("no entries") : QStringLiteral("PLU ") + numbers.join(QLatin1Char(' '));
    return outcome;
}

TSimEngine::Outcome TSimEngine::PluUpload(quint16 group) const
{
    Outcome outcome;
    outcome.answer = Answer::Reply;
    for (int slot = 0; slot < 4; ++slot) {
        const PluBytes record = m_contents.Plu(qint64(group) * 4 + slot);
        std::copy(record.begin(), record.end(), outcome.data.begin() + slot * Plu::kBytes);
    }
    return outcome;
}

TSimEngine::Outcome TSimEngine::DepartmentDownload(quint16 package, const quint8* data)
{
    Outcome outcome;
    if (package > 1) {
        outcome.detail = QStringLiteral("no department package %1").arg(package);
        return outcome;
    }
    // Package 0 carries departments 1 to 8, package 1 department 9.
    const int first = package * 8;
    const int count = package == 0 ? 8 : TSimContents::kDepartmentCount - 8;
    for (int i = 0; i < count; ++i) {
        DepartmentBytes record;
        std::copy(data + i * Department::kBytes, data + (i + 1) * Department::kBytes, record.begin());
        m_contents.SetDepartment(first + i, record);
    }
    outcome.answer = Answer::Ack;
    return outcome;
}

TSimEngine::Outcome TSimEngine::DepartmentUpload(quint16 package) const
{
    Outcome outcome;
    outcome.answer = Answer::Reply;
    for (int slot = 0; slot < 8; ++slot) {
        const DepartmentBytes record = m_contents.Department(qint64(package) * 8 + slot);
        std::copy(record.begin(), record.end(), outcome.data.begin() + slot * Department::kBytes);
    }
    return outcome;
}

TSimEngine::Outcome TSimEngine::ParameterDownload(quint16 half, const quint8* data)
{
    Outcome outcome;
    if (!m_contents.SetParameterHalf(half, data)) {
        outcome.detail = QStringLiteral("no parameter package %1").arg(half);
        return outcome;
    }
    outcome.answer = Answer::Ack;
    return outcome;
}

TSimEngine::Outcome TSimEngine::FontPackage(quint16 package, const quint8* data)
{
    Outcome outcome;
    if (!m_contents.StoreFontPackage(package, data)) {
        outcome.detail = QStringLiteral("font memory holds %1 packages").arg(TSimContents::kMaxFontPackages);
        return outcome;
    }
    outcome.answer = Answer::Ack;
    return outcome;
}

// Command 15 carries the start marker (parameter 0), the image blocks
// (parameter = block number) and the end marker (parameter 1). After a
// program-load log-in the first 15/0 is the start marker; later a 15/1 is
// the end marker unless it carries data beyond its 16-bit value (only a block
// can) or follows block 0 (a load from block 0 goes on with block 1). A frame
// repeated unchanged (the PC retries when it missed the answer) gets the same
// answer again and changes nothing.
TSimEngine::Outcome TSimEngine::ProgramLoad(const Frame::Payload& request)
{
    if (m_lastLoadRequest && *m_lastLoadRequest == request) {
        Outcome again = m_lastLoadOutcome;
        again.detail = QStringLiteral("repeated: ") + again.detail;
        return again;
    }
    const quint16 parameter = SimBytes::ReadLe16(request.data() + 1);
    const quint8* data = request.data() + kDataOffset;
    const quint16 value = SimBytes::ReadLe16(data);
    TSimContents::ProgramImage& image = m_contents.Program();

    Outcome outcome;
    if (m_loadPhase == LoadPhase::AwaitStart) {
        if (parameter != kProgramStart) {
            outcome.detail = QStringLiteral("block %1 before the start marker").arg(parameter);
        } else {
            image = TSimContents::ProgramImage{};
            image.started = true;
            image.startValue = value;
            m_loadPhase = LoadPhase::Blocks;
            outcome.answer = Answer::Ack;
            outcome.detail = QStringLiteral("start marker, value 0x%1").arg(value, 4, 16, QLatin1Char('0'));
        }
    } else {
        const bool onlyValue = std::all_of(data + 2, data + Frame::kDataBytes, [](quint8 b) { return b == 0; });
        const bool continuesFromZero = m_lastLoadBlock && *m_lastLoadBlock == 0;
        if (parameter == kProgramEnd && onlyValue && !continuesFromZero) {
            outcome = EndProgramLoad(value);
        } else if (parameter >= TSimContents::kProgramBlocks) {
            outcome.detail = QStringLiteral("block %1 beyond the program memory").arg(parameter);
        } else {
            std::copy(data, data + Frame::kDataBytes, image.blocks[parameter].begin());
            m_lastLoadBlock = parameter;
            outcome.answer = Answer::Ack;
            outcome.detail = QStringLiteral("block %1").arg(parameter);
        }
    }
    m_lastLoadRequest = request;
    m_lastLoadOutcome = outcome;
    return outcome;
}

TSimEngine::Outcome TSimEngine::EndProgramLoad(quint16 checksum)
{
    TSimContents::ProgramImage& image = m_contents.Program();
    // The PC's checksum covers the whole image, including the blocks it
    // does not send; the sum of the blocks received is noted beside it.
    quint32 received = 0;
    for (const auto& [index, block] : image.blocks) {
        for (const quint8 b : block)
            received += b;
    }
    QString detail = QStringLiteral("end marker, %1 blocks, checksum 0x%2 announced, 0x%3 in the blocks received")
                         .arg(image.blocks.size())
                         .arg(checksum, 4, 16, QLatin1Char('0'))
                         .arg(received & 0xFFFF, 4, 16, QLatin1Char('0'));
    if (!image.blocks.empty()) {
        const TSimContents::Block& last = image.blocks.rbegin()->second;
        const bool matches = SimBytes::ReadLe16(last.data() + kImageStartValue) == image.startValue;
        detail += matches ? QStringLiteral(", start value matches the image")
                          : QStringLiteral(", start value differs from the image");
    }
    Outcome outcome;
    outcome.detail = detail;
    if (m_options.rejectProgram) {
        outcome.detail += QStringLiteral(", refused");
        return outcome;
    }
    image.ended = true;
    image.announcedChecksum = checksum;
    outcome.answer = Answer::Ack;
    EndSession(outcome);
    return outcome;
}

void TSimEngine::SendReply(const Frame::Payload& request, const TSimContents::Block& data,
                           std::vector<TSimAction>& out)
{
    Frame::Payload reply{};
    std::copy(request.begin(), request.begin() + kDataOffset, reply.begin());
    std::copy(data.begin(), data.end(), reply.begin() + kDataOffset);
    Frame::SetChecksum(reply);
    if (m_corruptLeft > 0) {
        --m_corruptLeft;
        reply[Frame::kChecksumLow] ^= 0x01;
    }
    const Frame::Bytes frame = Frame::EncodeFrame(reply);
    QByteArray wire(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size()));
    wire.append(char(Frame::kTrailerByte));
    Transmit(wire, true, out);
}

void TSimEngine::Transmit(const QByteArray& bytes, bool splittable, std::vector<TSimAction>& out)
{
    auto write = [&out](QByteArray chunk) {
        TSimAction action;
        action.kind = TSimAction::Kind::Write;
        action.bytes = std::move(chunk);
        out.push_back(std::move(action));
    };
    if (m_options.noise)
        write(NoiseBytes());
    if (!m_options.split || !splittable) {
        write(bytes);
        return;
    }
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = std::min<qsizetype>(bytes.size() - at, 1 + NextRandom() % 40);
        write(bytes.mid(at, length));
        at += length;
        if (at < bytes.size()) {
            TSimAction pause;
            pause.kind = TSimAction::Kind::Pause;
            pause.pauseMicros = 1000 + int(NextRandom() % 4000);
            out.push_back(std::move(pause));
        }
    }
}

// Bytes below 0x80 that the PC's receiver skips; never one it would take as
// an acknowledgement or a frame boundary.
QByteArray TSimEngine::NoiseBytes()
{
    QByteArray noise;
    const int count = 1 + int(NextRandom() % 4);
    for (int i = 0; i < count; ++i) {
        quint8 b = static_cast<quint8>(NextRandom() % 0x80);
        if (b == Frame::kAccepted || b == Frame::kStartByte || b == Frame::kEndByte || b == Frame::kRejected)
            b = 0x41;
        noise.append(char(b));
    }
    return noise;
}

quint32 TSimEngine::NextRandom()
{
    m_random = m_random * 1664525u + 1013904223u;
    return m_random >> 8;
}
