#pragma once

#include "transfer/ProgramLoad.h"

#include <QFont>
#include <QString>

#include <optional>

// The operator's choice of a table file, a font, or a program image or font
// file to send (IOpenFileChooser). The main window asks through this
// interface so that tests can answer without a modal dialog.
class IFileDialogs : public IOpenFileChooser
{
public:
    virtual ~IFileDialogs() = default;

    // The full path of an existing .PLU file to open; empty when cancelled.
    virtual QString OpenTableFileName() = 0;
    // The full path to save the document under (.PLU added when the name has no
    // extension); the operator has agreed to replace an existing file. Empty
    // when cancelled.
    virtual QString SaveTableFileName() = 0;
    // The font chosen starting from `initial`; nothing when cancelled.
    virtual std::optional<QFont> ChooseFont(const QFont& initial) = 0;

    // The folder the file dialogs start in, which follows the last file
    // chosen (remembered between runs); empty for the working directory.
    virtual QString Folder() const { return {}; }
    virtual void SetFolder(const QString&) {}
};
