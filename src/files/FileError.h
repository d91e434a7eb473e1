#pragma once

#include <QString>

#include <stdexcept>

// A table file that could not be created, written or read. The message names
// the file and the reason, ready to be shown to the operator.
class FileError : public std::runtime_error
{
public:
    FileError(const QString& path, const QString& reason)
        : std::runtime_error(Compose(path, reason).toStdString()), path_(path), reason_(reason)
    {
    }

    QString Path() const { return path_; }
    QString Reason() const { return reason_; }
    QString Message() const { return QString::fromStdString(what()); }

private:
    static QString Compose(const QString& path, const QString& reason)
    {
        return QStringLiteral("%1: %2").arg(path, reason);
    }

    QString path_;
    QString reason_;
};
