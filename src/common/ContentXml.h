#pragma once
// The vocabulary of content.xml, the manifest of an MCO package: the package's namespace and,
// for each content type, the item type that names it and the namespace (with its prefix) of
// the type's own attributes. The manifest writer writes from this table and the installer
// reads back through it.
#include "common/ContentTypes.h"

#include <QString>
#include <QStringView>

namespace zorvak::contentxml {

// The namespace of the <package> root.
inline constexpr const char *PackageNamespace = "http://messenger.msn.com/messengercontent/1.0";

struct ItemKind {
    ContentType type;
    const char *itemType;   // value of the item's "type" attribute
    const char *prefix;     // prefix of the type's own attributes; nullptr when it has none
    const char *nameSpace;  // the namespace bound to that prefix; nullptr when it has none
};

// In the order of ContentTypes.
inline constexpr ItemKind ItemKinds[] = {
    {ContentType::Emot, "emoticon", "emoticon", "http://messenger.msn.com/emoticon/1.0"},
    {ContentType::Dp, "usertile", "usertile", "http://messenger.msn.com/usertile/1.0"},
    {ContentType::Bg, "background", "background", "http://messenger.msn.com/background/1.0"},
    {ContentType::Wink, "wink", nullptr, nullptr},
    {ContentType::Ddp, "dynamicpicture", nullptr, nullptr},
    {ContentType::Dbg, "dynamicbackground", "dynamicbackground", "http://messenger.msn.com/dynamicbackground/2.0"},
};

// Attribute names of an <item> (the type's own ones carry its prefix).
inline constexpr const char *AttrType = "type";
inline constexpr const char *AttrFile = "file";
inline constexpr const char *AttrDisplayName = "displayname";
inline constexpr const char *AttrKeySequence = "keysequence";

constexpr const ItemKind &KindOf(ContentType type)
{
    for (const ItemKind &kind : ItemKinds)
        if (kind.type == type)
            return kind;
    return ItemKinds[0];
}

// The kind an item's "type" names, without regard to letter case; nullptr for a type this
// program does not know.
inline const ItemKind *KindNamed(QStringView itemType)
{
    for (const ItemKind &kind : ItemKinds)
        if (itemType.compare(QLatin1String(kind.itemType), Qt::CaseInsensitive) == 0)
            return &kind;
    return nullptr;
}

// "prefix:name" of a type's own attribute, for example "emoticon:displayname".
inline QString Prefixed(ContentType type, const char *name)
{
    return QLatin1String(KindOf(type).prefix) + QLatin1Char(':') + QLatin1String(name);
}

} // namespace zorvak::contentxml
