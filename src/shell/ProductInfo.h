#pragma once
// The product's fixed names and addresses, chosen once for the whole program.

namespace zorvak {

// Application title (task bar, plain message boxes, the error display).
inline constexpr const char *ApplicationTitle = "Zorvak 2.1";
inline constexpr const char *ProductName = "Zorvak";
// The main window's caption in English: the product name, " - " and the subtitle (the window
// shows the subtitle of the language in use, catalogue key MainSubtitle).
inline constexpr const char *MainCaption = "Zorvak - Messenger content browser and backup";
inline constexpr const char *ProductWebsite = "https://zorvak.example.org/";
inline constexpr const char *HelpPage = "https://zorvak.example.org/help/";
inline constexpr const char *ProductEmail = "zorvak@example.org";

} // namespace zorvak
