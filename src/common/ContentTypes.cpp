#include "common/ContentTypes.h"

namespace zorvak {

const ContentTypeInfo &InfoOf(ContentType type) { return ContentTypes[static_cast<size_t>(type)]; }

const ContentTypeInfo *FindContentType(const QString &code)
{
    for (const auto &info : ContentTypes)
        if (code.compare(QLatin1String(info.code), Qt::CaseInsensitive) == 0)
            return &info;
    return nullptr;
}

} // namespace zorvak
