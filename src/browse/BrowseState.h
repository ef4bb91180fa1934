#pragma once
// State of the main window's browsing handlers (folder tree, file list, preview, saving).
namespace zorvak {

struct TBrowseState {
};

} // namespace zorvak
