#include "cli/ConsoleText.h"

#include <QList>
#include <QRegularExpression>

#include <utility>

namespace ConsoleText {
namespace {

QList<std::pair<QRegularExpression, QString>>& Aliases()
{
    static QList<std::pair<QRegularExpression, QString>> aliases;
    return aliases;
}

// text with each match of alias replaced by shown, taken literally.
QString Replaced(const QString& text, const QRegularExpression& alias, const QString& shown)
{
    QString result;
    qsizetype done = 0;
    for (auto matches = alias.globalMatch(text); matches.hasNext();) {
        const QRegularExpressionMatch match = matches.next();
        result += QStringView(text).mid(done, match.capturedStart() - done);
        result += shown;
        done = match.capturedEnd();
    }
    return result + text.mid(done);
}

} // namespace

void ShowAs(const QString& alias, const QString& shown)
{
    // "/proc/self/fd/5" must not match the start of "/proc/self/fd/51".
    Aliases().append({QRegularExpression(QRegularExpression::escape(alias) + QStringLiteral("(?![0-9])")), shown});
}

QByteArray Bytes(const QString& text)
{
    QString shown = text;
    for (const auto& [alias, replacement] : std::as_const(Aliases()))
        shown = Replaced(shown, alias, replacement);
    return shown.toLocal8Bit();
}

} // namespace ConsoleText
