#include "model/Columns.h"

#include "model/Numbers.h"

namespace {

template <std::size_t N>
QString Localised(const std::array<const char*, N>& defaults, int col)
{
    if (col < 0 || col >= static_cast<int>(N))
        return {};
    QString text = QString::fromLatin1(defaults[col]);
    text.replace(u'.', DecimalSeparator());
    return text;
}

} // namespace

QString PLUDefault(int col)
{
    return Localised(PLUDefaults, col);
}

QString DeptmentDefault(int col)
{
    return Localised(DeptmentDefaults, col);
}

QString RecyDefault(int col)
{
    return Localised(RecyDefaults, col);
}
