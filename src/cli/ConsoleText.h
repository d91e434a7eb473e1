#pragma once

#include <QByteArray>
#include <QString>

// What plu-cli prints. A file whose name is not valid UTF-8 is worked on
// under another name (see RawFileArguments); every text printed shows the
// name the operator gave instead, readably.
namespace ConsoleText {

// From now on, `alias` in printed texts is shown as `shown`. Longer aliases
// given earlier take precedence over a shorter one that starts them.
void ShowAs(const QString& alias, const QString& shown);

// text with every alias replaced, in the locale's encoding.
QByteArray Bytes(const QString& text);

} // namespace ConsoleText
