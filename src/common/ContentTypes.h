#pragma once
// The six kinds of Messenger content, always handled in this order.
#include <QString>
#include <array>

namespace zorvak {

enum class ContentType { Emot, Dp, Bg, Wink, Ddp, Dbg };

struct ContentTypeInfo {
    ContentType type;
    const char *code;           // also the catalogue key of the display name
    const char *settingsKey;    // holds the name of the type's sub-folder
    const char *defaultSubdir;  // built-in default of that sub-folder
    int treeIcon;               // icon index in the folder tree
};

inline constexpr std::array<ContentTypeInfo, 6> ContentTypes{{
    {ContentType::Emot, "Emot", "subdirEmot", "CustomEmoticons", 2},
    {ContentType::Dp, "Dp", "subdirDp", "UserTile", 6},
    {ContentType::Bg, "Bg", "subdirBg", "Backgrounds", 3},
    {ContentType::Wink, "Wink", "subdirWink", "Winks3", 4},
    {ContentType::Ddp, "Ddp", "subdirDdp", "DeluxeDisplayPictures", 6},
    {ContentType::Dbg, "Dbg", "subdirDbg", "DynamicBackgrounds", 3},
}};

const ContentTypeInfo &InfoOf(ContentType type);
// Looks a type up by its code ("Emot", "Dp", ...), ignoring letter case; nullptr when unknown.
const ContentTypeInfo *FindContentType(const QString &code);

} // namespace zorvak
