#pragma once

#include "app/FileDialogs.h"
#include "model/MessageBox.h"
#include "config/AppPaths.h"

#include <QDialog>
#include <QFile>
#include <QListWidget>
#include <QQueue>
#include <QStringList>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>

// The cells of each row of a list window, joined by '|'.
inline QStringList GridRows(const QTableWidget& grid)
{
    QStringList rows;
    for (int row = 0; row < grid.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < grid.columnCount(); ++column)
            cells << grid.item(row, column)->text();
        rows << cells.join(u'|');
    }
    return rows;
}

// Ticks the given rows of a download or upload dialog and presses OK.
inline void TickAndAccept(QDialog& dialog, const QList<int>& rows)
{
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("CheckListBox1"));
    ASSERT_NE(list, nullptr);
    for (int row : rows)
        list->item(row)->setCheckState(Qt::Checked);
    dialog.accept();
}

// Answers the save prompt and yes/no questions from queues (Cancel and No when
// empty) and records every message.
class RecordingMessageBox : public IMessageBox
{
public:
    void Error(const QString& text) override { errors << text; }
    void Information(const QString& text) override { informations << text; }
    SaveAnswer AskYesNoCancel(const QString& text) override
    {
        questions << text;
        if (answers.empty())
            return SaveAnswer::Cancel;
        const SaveAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool AskYesNo(const QString& text) override
    {
        questions << text;
        if (yesNoAnswers.empty())
            return false;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    // Records the notice and chooses the command when offerAnswer says so.
    bool Offer(const QString& text, const QString& command) override
    {
        offers << text;
        offeredCommands << command;
        return offerAnswer;
    }
    void Beep() override { ++beeps; }

    bool offerAnswer = false;
    QStringList offers;
    QStringList offeredCommands;
    std::deque<SaveAnswer> answers;
    std::deque<bool> yesNoAnswers;
    QStringList questions;
    QStringList errors;
    QStringList informations;
    int beeps = 0;
};

// Hands out file names from queues (empty, that is cancelled, when none is
// left) and counts how often each dialog was asked for.
class FakeFileDialogs : public IFileDialogs
{
public:
    QString OpenTableFileName() override
    {
        ++openCount;
        return openNames.isEmpty() ? QString() : openNames.dequeue();
    }
    QString SaveTableFileName() override
    {
        ++saveCount;
        return saveNames.isEmpty() ? QString() : saveNames.dequeue();
    }
    std::optional<QFont> ChooseFont(const QFont&) override { return chosenFont; }
    QString ChooseOpenFile(const OpenFileFilter& filter) override
    {
        askedFilters << filter.pattern;
        return sendNames.isEmpty() ? QString() : sendNames.dequeue();
    }

    QQueue<QString> openNames;
    QQueue<QString> saveNames;
    std::optional<QFont> chosenFont;
    // Files to send (program images, fonts) and the patterns asked for.
    QQueue<QString> sendNames;
    QStringList askedFilters;
    int openCount = 0;
    int saveCount = 0;
};

// Points the program folder at a fresh temporary folder for each test.
class ProgramDirFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        AppPaths::SetProgramDir(m_dir.path());
    }
    void TearDown() override { AppPaths::SetProgramDir(QString()); }

    QString FilePath(const QString& name) const { return m_dir.filePath(name); }

    void WriteFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(FilePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

private:
    QTemporaryDir m_dir;
};
