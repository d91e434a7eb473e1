// Any file content must read without fault; writing one key must make it read
// back as written and must leave every other key reading as before.
#include "settings/SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <array>

namespace {

struct Name
{
    const char* section;
    const char* key;
};

constexpr std::array<Name, 6> kNames{{{"Comm", "Port"},
                                      {"comm", "BaudRate"},
                                      {"Default", "Header1"},
                                      {"DEFAULT", "flag00"},
                                      {"Ports", "COM1"},
                                      {"x y", "a b"}}};

struct Reading
{
    QString text;
    qint32 integer;
    bool flag;
};

Reading ReadAll(const SettingsFile& settings, const Name& name)
{
    return {settings.ReadText(name.section, name.key, "?"),
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
    static QTemporaryDir dir;
    if (size < 2)
        return 0;
    // First byte: the key to write; second: where the value starts in the rest.
    const Name& target = kNames[data[0] % kNames.size()];
    const QByteArray rest(reinterpret_cast<const char*>(data + 2),
                          static_cast<qsizetype>(size - 2));
    const qsizetype split = rest.isEmpty() ? 0 : data[1] % (rest.size() + 1);
    const QByteArray content = Expand(rest.left(split));
    const QString value = QString::fromLatin1(rest.mid(split, 40));

    const QString path = dir.filePath("SYSTEM.CFG");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return 0;
    }

    SettingsFile settings(path);
    std::array<Reading, kNames.size()> before;
    for (std::size_t i = 0; i < kNames.size(); ++i)
        before[i] = ReadAll(settings, kNames[i]);

    settings.WriteText(target.section, target.key, value);

    QString expected = value;
    expected.replace('\r', ' ').replace('\n', ' ');
    if (settings.ReadText(target.section, target.key) != expected)
        __builtin_trap();
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        const bool sameKey =
            QString(kNames[i].section).compare(target.section, Qt::CaseInsensitive) == 0 &&
            QString(kNames[i].key).compare(target.key, Qt::CaseInsensitive) == 0;
        if (!sameKey && !(ReadAll(settings, kNames[i]) == before[i]))
            __builtin_trap();
    }
    return 0;
}
