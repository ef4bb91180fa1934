#pragma once
// The fixture of the map-decryption tests: a fresh environment and the key material the test
// decrypts with. The master keys opened during a run are cached for the whole process, so each
// test starts and ends with none open.
#include "dpapi/DpapiKeyMaterial.h"
#include "support/TestEnv.h"

namespace zorvak::test {

class DpapiTest : public EnvTest {
protected:
    DpapiKeyMaterial key;
    void SetUp() override { ForgetOpenedMasterKeys(); }
    void TearDown() override { ForgetOpenedMasterKeys(); }
};

} // namespace zorvak::test
