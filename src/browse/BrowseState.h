#pragma once
// State of the main window's browsing handlers (folder tree, file list, preview, saving).
#include <QString>
#include <QStringList>

namespace zorvak {

struct TBrowseState {
    // The disk name behind each row of lbFiles (row i <-> item i).
    QStringList DiskNames;
    // The start folder last given to the save dialog; empty at start.
    QString SaveAsStartFolder;
    // Set while a command that changes or walks the folder tree runs; another one cannot start.
    bool TreeBusy = false;
    // The folder the user last saved a file into (the save dialog opens there again).
    QString LastSaveFolder;
    // Counts the fills of the file list and the previews of its rows. Listing a folder processes
    // pending events, so another selection may fill the list meanwhile; the older fill then stops.
    int SelectionGeneration = 0;
};

} // namespace zorvak
