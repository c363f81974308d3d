#pragma once

// Each settings test starts from the program's start state (zeros and empty texts), with a
// store file of its own and the log going to a file it can read back.

#include <gtest/gtest.h>

#include <string>

#include "temp_store.h"

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // What the log received so far.
    std::string LogText();

    TempStore store;
    std::string logPath;
};
