#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// For every cell style of a workbook's styles part (the "s" attribute of its
// cells counts from 0), whether the style shows a number as a date or a
// time: the built-in date formats and format codes holding date or time
// letters. Empty for an empty part; nothing when the part is not valid XML.
std::optional<QList<bool>> XlsxDateStyles(const QByteArray& stylesXml);
