#pragma once

// PLACEHOLDER until the data model's text tables land: the built-in choice
// names of the download and upload dialogs and the locale's decimal
// separator. Replaced by the model's Texts() and DecimalSeparator().

#include <QChar>
#include <QLocale>
#include <QStringList>

namespace DialogTextsPlaceholder {

inline QStringList DownloadItemTips()
{
    return {QStringLiteral("PLU"), QStringLiteral("department"), QStringLiteral("parameter")};
}

inline QStringList UploadItemTips()
{
    return DownloadItemTips();
}

inline QChar DecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 ? point.front() : QChar(u'.');
}

} // namespace DialogTextsPlaceholder
