// Loads real config files from a temporary current directory against a fresh simulated game.
#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/Jenkins.h"
#include "config/Settings.h"
#include "riot/Roster.h"
#include "script/ApplyLoad.h"
#include "script/ScriptMain.h"
#include "script/ScriptState.h"
#include "tests/support/ScriptRun.h"
#include "tests/support/TempDir.h"

using Names = std::vector<std::string>;

class LoaderTest : public ::testing::Test {
  protected:
    TempDir dir;
    std::unique_ptr<ScriptRun> run = std::make_unique<ScriptRun>();

    // A fresh game and fresh script globals.
    void Restart() {
        run.reset();
        run = std::make_unique<ScriptRun>();
    }
    void Load(const std::string& text) {
        dir.WriteConfig(text);
        LoadConfig();
    }
    // Names of the groups created and removed so far, in call order ("+0", "-0", ...).
    Names GroupCalls() const;
    // The 24 names the built-in list keeps once the thrown weapons are gone.
    static Names BuiltInWithoutThrowables();
};
