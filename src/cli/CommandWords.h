#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The words of a plu-cli command that parses its own command line (import,
// export, labels, report): the command and its files, and its options as "--name
// VALUE" or "--name=VALUE". valueOptions are the options that take a value.
namespace CommandWords {

// The words that are not options nor an option's value, after the program name.
QStringList Positional(const QStringList& arguments, const QStringList& valueOptions);

struct OptionScan
{
    bool help = false;   // --help was given; the scan stopped there
    QString error;       // why the command line is wrong; the scan stopped there
};

// Calls take with each option's name and value (empty for a flag), in order,
// until take returns an error, --help comes, or an option lacks its value.
OptionScan ScanOptions(const QStringList& arguments, const QStringList& valueOptions,
                       const std::function<QString(const QString& name, const QString& value)>& take);

} // namespace CommandWords
