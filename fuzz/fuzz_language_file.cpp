// Any bytes must read as a language file without fault; a key that the file
// sets must be found under any letter case of its name, and a key it does
// not have must give back the current text.
#include "config/LanguageTexts.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const LanguageTexts texts = LanguageTexts::FromBytes(bytes);
    const QString current = QStringLiteral("\x01current");
    for (const char* section : {"MainForm", "PLU Titles", "String"}) {
        for (const char* key : {"Caption", "0", "NewItem.Caption", "Connect"}) {
            const QString found = texts.Text(section, key, current);
            if (texts.Text(QString::fromLatin1(section).toUpper(), QString::fromLatin1(key).toLower(), current) != found)
                __builtin_trap();
        }
    }
    if (texts.Text(QStringLiteral("\n"), QStringLiteral("\n"), current) != current)
        __builtin_trap();
    return 0;
}
