#pragma once
// TestEnv: a fresh temporary AppDir, the platform double and the scripted dialog service for one
// test, with the settings and the English catalogue of a new run. Everything is put back after.
#include "shell/DialogService.h"
#include "support/FakePlatform.h"
#include "support/Permissions.h"
#include "support/TestProcess.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>

namespace zorvak::test {

class TestEnv {
public:
    TestEnv();
    ~TestEnv();
    QString appDir() const;               // ends with '/'
    QString path(const QString &relative) const; // inside the temporary folder
    FakePlatform &platform() { return *m_platform; }
    ScriptedDialogService &dialogs() { return *m_dialogs; }

private:
    QTemporaryDir m_dir;
    FakePlatform *m_platform;
    ScriptedDialogService *m_dialogs;
    std::unique_ptr<Platform> m_oldPlatform;
    std::unique_ptr<DialogService> m_oldDialogs;
};

// A gtest fixture holding a TestEnv.
class EnvTest : public ::testing::Test {
protected:
    TestEnv env;
};

// Small file helpers for building fixtures.
bool WriteFile(const QString &path, const QByteArray &data); // creates missing folders
QByteArray ReadFile(const QString &path);
// A checksum of every file (name, size, bytes) under a folder, for "nothing was written" checks.
QByteArray TreeChecksum(const QString &folder);
// Bytes given by their values (0 to 255), for binary headers spelled out in a test.
QByteArray Bytes(std::initializer_list<int> values);

// The message of the Exception that `call` raises, or "(no error)" when it raises none.
QString ErrorOf(const std::function<void()> &call);

} // namespace zorvak::test
