#pragma once
// What every test program does before its first test, whatever application object it makes.
#include <QString>

namespace zorvak::test {

// Sets ZORVAK_SOURCE_DIR / ZORVAK_BINARY_DIR when not given, then seals the process off from the
// machine's own data: HOME, the XDG folders, APPDATA, LOCALAPPDATA, WINEPREFIX and the shell
// folder overrides point into (or are removed in favour of) a fresh empty folder, and the mount
// table the platform reads is the machine's without its Windows volumes. A test that wants data
// builds it.
void PrepareTestProcess();

// The sealed home folder (absolute, without a trailing separator).
QString SealedHome();

// The third-party sample files that live beside the repository, not in it: the folder `sub` of
// what ZORVAK_SAMPLES_DIR names, or the empty text when the variable is unset or that folder is
// missing (then tests needing it skip).
QString SamplesFolder(const QString &sub);

} // namespace zorvak::test

// Skips the current test when the samples folder `sub` is not available.
#define ZORVAK_REQUIRE_SAMPLES(sub)                                                                 \
    do {                                                                                            \
        if (::zorvak::test::SamplesFolder(QStringLiteral(sub)).isEmpty())                           \
            GTEST_SKIP() << "sample files \"" << (sub) << "\" not available (set ZORVAK_SAMPLES_DIR)"; \
    } while (0)
