#pragma once

#include <QString>
#include <QStringList>

// The document named on the command line (plu-manager FILE.PLU): the first
// argument that is neither an option nor an option's value; empty when none.
QString DocumentArgument(const QStringList& arguments);
