#pragma once
// The slot of one of the process-wide services (the platform, the dialog service, the current
// language): the first use without a service makes the default one; a test puts its own in with
// Replace and gets the previous one back to restore it.
#include <memory>
#include <utility>

namespace zorvak {

template <typename Service> class TProcessService {
public:
    // The service in use; `makeDefault()` makes it when there is none yet.
    template <typename F> static Service &Get(F &&makeDefault)
    {
        std::unique_ptr<Service> &instance = Slot();
        if (!instance)
            instance = makeDefault();
        return *instance;
    }
    // Puts `next` in place (nothing: the default is made again at the next use).
    static std::unique_ptr<Service> Replace(std::unique_ptr<Service> next) { return std::exchange(Slot(), std::move(next)); }

private:
    static std::unique_ptr<Service> &Slot()
    {
        static std::unique_ptr<Service> instance;
        return instance;
    }
};

} // namespace zorvak
