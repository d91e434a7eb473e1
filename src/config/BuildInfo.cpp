#include "config/BuildInfo.h"

#include "BuildDate.h"

namespace BuildInfo {

QString Version()
{
    return QStringLiteral(PLU_VERSION);
}

QString BuildDate()
{
    return QStringLiteral(PLU_BUILD_DATE);
}

QString VersionLine(const QString& program)
{
    return QStringLiteral("%1 %2\n").arg(program, Version());
}

} // namespace BuildInfo
