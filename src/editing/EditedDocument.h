#pragma once

#include "editing/DocumentHistory.h"
#include "files/Document.h"

#include <QObject>

#include <functional>

// The document the window edits: its three table files and its undo history
// together. Every way of putting other tables in place of the document's
// (New, Open, tables from the register or the transfer history) starts a fresh
// history here, so no undo step can reach back into the tables replaced, and
// "modified" is always the history's: the tables differ from what was last
// saved (see DocumentHistory::Modified).
class EditedDocument : public QObject
{
    Q_OBJECT

public:
    EditedDocument(TextTable& plu, TextTable& dept, RecyTable& recy, QObject* parent = nullptr);

    DocumentHistory& History() { return *m_history; }

    QString CurrentFileName() const { return m_files.CurrentFileName(); }
    QString Caption() const { return m_files.Caption(); }
    bool Modified() const { return m_history->Modified(); }

    // New: every table back to its defaults, no name, nothing to undo.
    void ClearDocument();
    // Open: as New, then the files at path; nothing to undo afterwards, also
    // when reading fails (FileError) halfway.
    ReadNotes LoadDocument(const QString& path);
    // Save and Save as (Document's): the history's saved state follows.
    void SaveDocument(const QString& path);
    void SaveDocumentAs(const QString& path);
    // As New, then fill writes other tables in: unnamed, saved nowhere yet,
    // nothing to undo.
    void ReplaceTables(const std::function<void()>& fill);

private:
    Document m_files;
    DocumentHistory* m_history;
};
