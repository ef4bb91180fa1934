#pragma once
// The platform's folder-browse dialog, through the dialog service.
#include <QString>

namespace zorvak {

// Shows the folder dialog with `prompt` and `preselect` (a Windows-style "\\My Documents..."
// folder is mapped to the user's documents, pictures or music folder). Returns the chosen
// folder, or the empty text when cancelled or when the choice is not an existing folder.
QString BrowseForFolder(const QString &prompt, const QString &preselect);

// "\\My Documents" -> the XDG documents folder, "\\My Documents\\My Pictures" -> pictures,
// "\\My Documents\\My Music" -> music. Any other text is returned unchanged.
QString MapWindowsFolder(const QString &folder);

} // namespace zorvak
