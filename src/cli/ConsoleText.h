#pragma once

#include <QByteArray>
#include <QString>

// What plu-cli prints. A file name that is not valid UTF-8 travels in texts
// with its bytes kept (see FilePath); printed, each such byte shows as the
// Latin-1 character it stands for, so the operator reads the name given.
namespace ConsoleText {

// text as shown, in the locale's encoding.
QByteArray Bytes(const QString& text);

} // namespace ConsoleText
