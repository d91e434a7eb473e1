#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The words of a plu-cli command line that has options of its own (import,
// export, report): positional words, and options written "--name value" or
// "--name=value". Which options take a value is the command's to say.
namespace OptionWords {

using TakesValue = std::function<bool(const QString& name)>;

// The words after the program name that are no option nor an option's value.
QStringList Positional(const QStringList& arguments, const TakesValue& takesValue);

struct Option
{
    QString name;
    QString value;   // empty for a flag
};

// The option at arguments[i] (which starts with "--"), moving i past a value
// given as the next word; nothing, with the error, when that word is missing.
std::optional<Option> Take(const QStringList& arguments, qsizetype& i, const TakesValue& takesValue,
                           QString& error);

} // namespace OptionWords
