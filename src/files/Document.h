#pragma once

#include "files/FileIo.h"

#include <QString>

#include <memory>

class DocumentLock;
class RecyTable;
class TextTable;

// The open document: the PLU, department and recycling tables kept as three
// files with one base name (.PLU, .DEP, .RCY), the document's file name and
// its modified flag. File failures throw FileError; the document then keeps
// its modified flag, and the caption changes only when a command completes.
class Document
{
public:
    Document(TextTable& plu, TextTable& dept, RecyTable& recy);
    ~Document();

    // Takes the document lock of path (DocumentLock) for a command that
    // reads, changes and writes it, until Unlock() or the document's end;
    // saves to path then need no lock of their own. Returns why it could not
    // be taken ("in use by plu-cli (process 4711); ..."), empty when it was.
    QString Lock(const FilePath& path);
    void Unlock();

    static QString Title();

    // Full path of the .PLU file (FilePath::Text()); empty for a new, never
    // saved document.
    QString CurrentFileName() const { return currentFileName_; }

    // Set when the operator types into a table; cleared by New, Open and Save.
    bool Modified() const { return modified_; }
    void SetModified(bool modified = true) { modified_ = modified; }

    // The title, or after Open and Save as the title + "~[" + path + "]".
    QString Caption() const;

    // The files a save writes: all three, or all but the department file (a
    // table the command was not given; an empty one would wipe the
    // register's departments when sent).
    enum class Files { All, WithoutDepartments };

    // New: every table back to its defaults, no name, not modified.
    void ClearDocument();
    // Writes the three files beside path, then clears the modified flag. The
    // document's name is not changed. The three change together: all are
    // written before the first replaces its old file. The document lock of
    // path is held meanwhile; when another program has it, FileError says who.
    void SaveDocument(const FilePath& path, Files files = Files::All);
    // Save as: the document takes the full path as its name, is saved there,
    // and the caption shows it.
    void SaveDocumentAs(const FilePath& path, Files files = Files::All);
    // Open (after ClearDocument): the document takes the full path as its name
    // before the files are read; missing .DEP or .RCY files leave those tables
    // as they are. Returns what the operator should be told about the files
    // (lines ignored, CR-only line ends).
    ReadNotes LoadDocument(const FilePath& path);

    // path with its extension replaced by ".DEP" or ".RCY" (the base name
    // keeps its case; a path without an extension gets one). An existing file
    // whose extension differs only in case is used instead (shop.dep).
    static QString DepPath(const FilePath& path);
    static QString RcyPath(const FilePath& path);

private:
    TextTable& plu_;
    TextTable& dept_;
    RecyTable& recy_;
    QString currentFileName_;
    QString captionPath_;
    bool modified_ = false;
    std::unique_ptr<DocumentLock> lock_;
};
