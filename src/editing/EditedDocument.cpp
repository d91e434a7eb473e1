#include "editing/EditedDocument.h"

#include <QScopeGuard>

EditedDocument::EditedDocument(TextTable& plu, TextTable& dept, RecyTable& recy, QObject* parent)
    : QObject(parent), m_files(plu, dept, recy), m_history(new DocumentHistory(plu, dept, recy, this))
{
}

void EditedDocument::ClearDocument()
{
    m_files.ClearDocument();
    m_history->Reset();
}

ReadNotes EditedDocument::LoadDocument(const QString& path)
{
    m_files.ClearDocument();
    const auto fresh = qScopeGuard([this] { m_history->Reset(); });
    return m_files.LoadDocument(path);
}

void EditedDocument::SaveDocument(const QString& path)
{
    m_files.SaveDocument(path);
    m_history->MarkSaved();
}

void EditedDocument::SaveDocumentAs(const QString& path)
{
    m_files.SaveDocumentAs(path);
    m_history->MarkSaved();
}

void EditedDocument::ReplaceTables(const std::function<void()>& fill)
{
    m_files.ClearDocument();
    fill();
    m_history->Reset();
    m_history->ForgetSavedState();
}
