#pragma once
// The two cabinet operations of the main window, on the window's cabinet component.
#include "cabinet/cabfiles.h"

namespace zorvak {

// Lists `cabinet` into cab.CABFileContents and extracts every file below `folder`. The outcome
// is not reported (a damaged or missing cabinet simply yields fewer files).
void ExtractCabinetTo(TCABFile &cab, const QString &cabinet, const QString &folder);

// Packs every plain, non-hidden file directly in `folder` into `cabinet` (sorted by name, at the
// cabinet's root) with the component's compression. When keepExisting is false an existing file
// at `cabinet` is deleted first. Returns the result of CreateCabinet; its ECABFileError (for
// example for an empty folder) passes to the caller.
bool PackFolder(TCABFile &cab, const QString &folder, const QString &cabinet, bool keepExisting);

} // namespace zorvak
