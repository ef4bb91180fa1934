#pragma once
// The product's fixed names and addresses, chosen once for the whole program.

namespace zorvak {

// Application title (task bar, plain message boxes, the error display).
inline constexpr const char *ApplicationTitle = "Zorvak 2.1";
inline constexpr const char *ProductName = "Zorvak";
// The main window's caption: the product name, " - " and a subtitle (never translated).
inline constexpr const char *MainCaption = "Zorvak - Messenger content browser and backup";
inline constexpr const char *ProductWebsite = "https://zorvak.example.org/";
inline constexpr const char *HelpPage = "https://zorvak.example.org/help/";
inline constexpr const char *ProductEmail = "zorvak@example.org";

} // namespace zorvak
