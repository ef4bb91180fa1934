#pragma once
// Folders and files that the program cannot read, also when the tests run as root.

namespace zorvak::test {

// While alive, the calling thread obeys file permissions even as root: the capabilities that let
// root pass them (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH) leave its effective set and come back
// when it ends. Capabilities belong to a thread, so the other threads keep them. Does nothing
// for an ordinary user, who obeys the permissions anyway.
class PermissionsApply {
public:
    PermissionsApply();
    ~PermissionsApply();
    PermissionsApply(const PermissionsApply &) = delete;
    PermissionsApply &operator=(const PermissionsApply &) = delete;
    // False when the capabilities could not be dropped (then a root test would not see the
    // denial it wants; the test fails rather than passing for the wrong reason).
    bool ok() const { return m_ok; }

private:
    bool m_dropped = false;
    bool m_ok = true;
    unsigned m_saved[2] = {0, 0};
};

} // namespace zorvak::test
