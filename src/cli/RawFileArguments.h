#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/stat.h>
#include <vector>

// plu-cli's command line, with the files named in bytes that are not valid
// UTF-8 (a Latin-1 "K\xC4SE.PLU") made usable.
//
// The program names files by text in the system's character set, UTF-8, which
// cannot carry such a name: it would come back as another name. So for the
// run each such file is reached under a UTF-8 name in its own folder: the
// folder through /proc/self/fd (it stays open meanwhile), the file through a
// hard link (a copy where the filesystem has none) named
// ".plu-cli-XXXXXXXX.KÄSE.PLU"; a document's .DEP and .RCY go with it. The
// program's saves replace such a name by a new file (they write a temporary
// file and rename it), so PutInPlace() afterwards renames every file a save
// replaced or created onto its own name and removes the rest: the folder then
// holds what the same run on an ordinary name would have left. Printed texts
// show the names as given (ConsoleText).
class RawFileArguments
{
public:
    RawFileArguments(int argc, char** argv);
    ~RawFileArguments();
    RawFileArguments(const RawFileArguments&) = delete;
    RawFileArguments& operator=(const RawFileArguments&) = delete;

    // The arguments after the program name, each usable as it stands.
    const QStringList& Arguments() const { return m_arguments; }
    // Why the command line cannot be used; empty when it can.
    const QString& Problem() const { return m_problem; }

    // Puts the files the command wrote under their own names and removes the
    // stand-ins; what could not be put in place. Once; the destructor calls it
    // when nobody did.
    QStringList PutInPlace();

private:
    // One name a command may read or write, and its stand-in.
    struct Entry
    {
        int folder = -1;
        QByteArray raw;      // the name in the folder
        QByteArray link;     // the stand-in's name in the same folder
        QString shown;       // the full name as the operator reads it
        bool made = false;   // the stand-in was made (the file existed)
        struct stat madeState{};
    };

    QString Usable(const QByteArray& argument);
    QString StandIns(int folder, const QString& alias, const QString& shownFolder, const QByteArray& name);
    bool MakeStandIn(Entry& entry);
    void Remove(const std::vector<Entry>& entries);

    QStringList m_arguments;
    QString m_problem;
    std::vector<int> m_folders;
    std::vector<Entry> m_entries;
    bool m_putInPlace = false;
};
