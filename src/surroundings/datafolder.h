#pragma once

#include <QString>

// Where the program keeps its data files and temporary bitmaps. In its build
// tree, or any folder it may write that holds the data files, that is its own
// folder; an installed copy works in a folder of the user's, filled from the
// installed data files.
namespace Vorlane {

struct DataFolders
{
    QString shipped; // the data files the program came with; empty when none are found
    QString working; // the folder that becomes appDir
};

// The folders for a program whose executable lies in programFolder.
// An installed copy is one whose folder holds no data files while the install
// layout's data folder beside it does (this holds for root too, who may write
// anywhere), or one whose folder it may not write; it works in userFolder.
// Any other copy works in its own folder, as it does when userFolder is empty.
DataFolders dataFoldersFor(const QString &programFolder, const QString &userFolder);

// Where the install rules lay the data files for a program in programFolder.
QString installedDataFolder(const QString &programFolder);

// Copies every data file of the folder from that the folder to lacks,
// creating folders as needed, and makes the copies writable for their owner.
// A file to already has is never replaced, nor is "vornad.dat" while to holds
// the running program's "vornad.gif". Returns false when a file could not be
// copied; the others are copied all the same.
bool copyMissingDataFiles(const QString &from, const QString &to);

// Chooses the folders, fills the working folder from the shipped one and
// returns the working folder. Errors in copying are left for the features
// that need the files to meet.
QString prepareDataFolder(const QString &programFolder, const QString &userFolder);

// The user's own folder for the program's data: "vorlane" in the user's data
// folder ($XDG_DATA_HOME, ~/.local/share by default).
QString userDataFolder();

} // namespace Vorlane
