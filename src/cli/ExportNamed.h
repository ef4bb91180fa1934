#pragma once
// zorvak-cli export --named: the part of the export verb that writes objects under their names.
#include "cli/VerbOptions.h"

namespace zorvak::cli {

// Adds the options of the named export to the export verb's.
void AddNamedExportOptions(VerbOptions &options);
// The options that only the named export takes (to refuse them without --named).
QStringList NamedExportOnlyOptions();
// Runs the named export with the parsed options; returns the exit status.
int RunNamedExportVerb(const VerbOptions &options);

} // namespace zorvak::cli
