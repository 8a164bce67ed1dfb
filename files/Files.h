#pragma once

// The file commands: Open, Save and Save As of a configuration file.

#include <QString>

class QFileDialog;

// Asks for a file and loads it. Only a complete, valid file changes the configuration; a file of
// another kind than the connected module's changes nothing.
void FileOpen();

// Asks for a file name and writes the configuration to it.
void FileSaveAs();

// Writes the configuration to the file last opened or saved; nothing when there is none.
void FileSave();

// Writes the configuration to the file last opened or chosen with Save As. The old file stays
// whole until the new one is complete; false when the file could not be written (the user has
// been told).
bool FileWrite();

// The file dialog of the main window, made on first use.
QFileDialog &dlgFile();

// The filters as the dialog offers them: description|pattern|description|pattern|...
inline const QString FileFilterText =
    QStringLiteral("User Files (*.vq7)|*.vq7|Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
