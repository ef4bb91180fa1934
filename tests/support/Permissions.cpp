#include "support/Permissions.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zorvak::test {

namespace {
constexpr unsigned kOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

bool Get(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capget, &header, data) == 0;
}

bool Put(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0}; // 0: the calling thread
    return ::syscall(SYS_capset, &header, data) == 0;
}
} // namespace

PermissionsApply::PermissionsApply()
{
    __user_cap_data_struct data[2] = {};
    if (!Get(data)) {
        m_ok = ::geteuid() != 0;
        return;
    }
    if ((data[0].effective & kOverrides) == 0)
        return; // nothing to drop: permissions apply already
    m_saved[0] = data[0].effective;
    m_saved[1] = data[1].effective;
    data[0].effective &= ~kOverrides;
    m_dropped = Put(data);
    m_ok = m_dropped;
}

PermissionsApply::~PermissionsApply()
{
    if (!m_dropped)
        return;
    __user_cap_data_struct data[2] = {};
    if (!Get(data))
        return;
    data[0].effective = m_saved[0];
    data[1].effective = m_saved[1];
    Put(data);
}

} // namespace zorvak::test
