#include "cli/ConsoleText.h"

#include "files/FilePath.h"

namespace ConsoleText {

QByteArray Bytes(const QString& text)
{
    return FilePath::Readable(text).toLocal8Bit();
}

} // namespace ConsoleText
