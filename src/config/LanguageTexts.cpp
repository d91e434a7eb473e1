#include "config/LanguageTexts.h"

#include "config/IniDocument.h"

#include <QFile>
#include <QStringDecoder>

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF");

bool IsUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes); // the decoding happens on conversion
    return !decoder.hasError();
}

// The INI reader keeps one character per byte; a UTF-8 file's texts are
// decoded from those bytes again.
QString FromUtf8Bytes(const QString& latin1)
{
    return QString::fromUtf8(latin1.toLatin1());
}

} // namespace

QString LanguageTexts::Slot(const QString& section, const QString& key)
{
    return section.toCaseFolded() + QChar(u'\n') + key.toCaseFolded();
}

LanguageTexts LanguageTexts::FromBytes(const QByteArray& bytes)
{
    const QByteArray text = bytes.startsWith(kUtf8Mark) ? bytes.mid(kUtf8Mark.size()) : bytes;
    const bool utf8 = IsUtf8(text);
    LanguageTexts texts;
    for (IniDocument::Entry& entry : IniDocument::FromBytes(text).Entries()) {
        if (utf8) {
            entry.section = FromUtf8Bytes(entry.section);
            entry.key = FromUtf8Bytes(entry.key);
            entry.value = FromUtf8Bytes(entry.value);
        }
        const QString slot = Slot(entry.section, entry.key);
        if (!texts.m_texts.contains(slot))
            texts.m_texts.insert(slot, entry.value);
    }
    return texts;
}

LanguageTexts LanguageTexts::Load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return FromBytes(file.readAll());
}

QString LanguageTexts::Text(const QString& section, const QString& key, const QString& current) const
{
    const auto found = m_texts.constFind(Slot(section, key));
    return found == m_texts.constEnd() ? current : *found;
}
