#pragma once
// The platform of the desktop program: the POSIX services plus those that need the window system.
#include "platform/Platform.h"

namespace zorvak {

class DesktopPlatform final : public PosixPlatform {
public:
    // Web and mail links and local files through the desktop's default applications.
    bool OpenUrl(const QString &urlOrPath) override;
    bool AltHeld() override;
};

} // namespace zorvak
