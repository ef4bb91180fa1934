// TEMPORARY: catalogues not built yet. Deleted by the change that builds them.
#include "shell/uLanguage.h"
namespace zorvak {
std::unique_ptr<TLanguage> LoadItalian() { auto l = std::make_unique<TLanguage>(); l->Add("_ID", "IT"); return l; }
std::unique_ptr<TLanguage> LoadSpanish() { auto l = std::make_unique<TLanguage>(); l->Add("_ID", "SP"); return l; }
} // namespace zorvak
