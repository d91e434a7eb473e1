#include "config/LanguageTexts.h"

#include "config/IniDocument.h"
#include "model/Language.h"

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
        const QString slot = Language::Slot(entry.section, entry.key);
        if (texts.m_texts.contains(slot))
            continue;
        texts.m_texts.insert(slot, entry.value);
        texts.m_names.insert(slot, {entry.section, entry.key});
        texts.m_order << slot;
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
    const auto found = m_texts.constFind(Language::Slot(section, key));
    return found == m_texts.constEnd() ? current : *found;
}

QStringList LanguageTexts::RefusePlaceholderMismatches(const LanguageTexts& catalogue)
{
    QStringList problems;
    for (const QString& slot : std::as_const(m_order)) {
        const auto english = catalogue.m_texts.constFind(slot);
        const auto translated = m_texts.constFind(slot);
        if (english == catalogue.m_texts.constEnd() || translated == m_texts.constEnd()
            || Language::SamePlaceholders(*english, *translated))
            continue;
        const Name name = m_names.value(slot);
        problems << Language::PlaceholderProblem(name.section, name.key, *english, *translated);
        m_texts.remove(slot);
    }
    return problems;
}

QStringList LanguageTexts::MissingKeys(const LanguageTexts& catalogue) const
{
    QStringList missing;
    for (const QString& slot : catalogue.m_order) {
        if (!m_texts.contains(slot)) {
            const Name name = catalogue.m_names.value(slot);
            missing << QStringLiteral("[%1] %2").arg(name.section, name.key);
        }
    }
    return missing;
}

void LanguageTexts::Install(QStringList problems) const
{
    Language::Install(m_texts, std::move(problems));
}
