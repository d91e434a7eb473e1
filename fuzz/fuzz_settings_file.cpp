// Any file content must read without fault; writing one key must make the
// content written out read it back as written and must leave every other key
// reading as before.
#include "config/SettingsContent.h"

#include <array>

namespace {

struct Name
{
    QString section;
    QString key;
};

// Built once: texts made for every read would cost more than the reads.
const std::array<Name, 6> kNames{{{"Comm", "Port"},
                                  {"comm", "BaudRate"},
                                  {"Default", "Header1"},
                                  {"DEFAULT", "flag00"},
                                  {"Ports", "COM1"},
                                  {"x y", "a b"}}};
const QString kNoText = QStringLiteral("?");

struct Reading
{
    QString text;
    qint32 integer;
    bool flag;
};

Reading ReadAll(const SettingsContent& settings, const Name& name)
{
    return {settings.ReadText(name.section, name.key, kNoText),
            settings.ReadInteger(name.section, name.key, 7),
            settings.ReadFlag(name.section, name.key, true)};
}

// Bytes 0xF0 to 0xFF stand for pieces of INI syntax, so that the fuzzer
// reaches sections, keys and line endings quickly; other bytes stay as they are.
QByteArray Expand(const QByteArray& raw)
{
    static const std::array<const char*, 16> kTokens{
        "[Comm]", "[default]", "[Ports]", "[x y]", "Port", "BaudRate", "Header1", "FLAG00",
        "COM1",   "a b",       "=",       "\r\n",  "\n",   ";",        "\"",      "0x"};
    QByteArray bytes;
    bytes.reserve(raw.size() * 2);
    for (const char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0xF0)
            bytes += kTokens[byte - 0xF0];
        else
            bytes += c;
    }
    return bytes;
}

bool operator==(const Reading& a, const Reading& b)
{
    return a.text == b.text && a.integer == b.integer && a.flag == b.flag;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // First byte: the key to write; second: where the value starts in the rest.
    const Name& target = kNames[data[0] % kNames.size()];
    const QByteArray rest =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2));
    const qsizetype split = rest.isEmpty() ? 0 : data[1] % (rest.size() + 1);
    const QString value = QString::fromLatin1(rest.mid(split, 40));

    SettingsContent settings(Expand(rest.left(split)));
    std::array<Reading, kNames.size()> before;
    for (std::size_t i = 0; i < kNames.size(); ++i)
        before[i] = ReadAll(settings, kNames[i]);

    settings.WriteText(target.section, target.key, value);
    // What the file holds after the write, read afresh.
    const SettingsContent written(settings.ToBytes());

    QString expected = value;
    expected.replace('\r', ' ').replace('\n', ' ');
    if (written.ReadText(target.section, target.key) != expected)
        __builtin_trap();
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        const bool sameKey = kNames[i].section.compare(target.section, Qt::CaseInsensitive) == 0 &&
                             kNames[i].key.compare(target.key, Qt::CaseInsensitive) == 0;
        if (!sameKey && !(ReadAll(written, kNames[i]) == before[i]))
            __builtin_trap();
    }
    return 0;
}
