// QtLauncher against real processes: a small shell script that leaves a trace in a file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "QtLauncher.h"

namespace zintor {
namespace {

namespace fs = std::filesystem;

class LauncherAdapterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A script that writes its working folder, DESKTOP_STARTUP_ID and argument count into
    // trace.txt (atomically).
    fs::path writeScript(const std::string& name, bool executable = true) {
        const fs::path script = dir_ / name;
        std::ofstream(script) << "#!/bin/sh\n"
                                 "{ pwd; echo \"id=$DESKTOP_STARTUP_ID\"; echo \"args=$#\"; } "
                                 "> trace.tmp\nmv trace.tmp trace.txt\n";
        ::chmod(script.c_str(), executable ? 0755 : 0644);
        return script;
    }

    // Starts `script` and returns the trace it left (it runs as its own process).
    std::string runAndTrace(const fs::path& script, bool noFocus) {
        const fs::path trace = dir_ / "trace.txt";
        fs::remove(trace);
        const LaunchResult result = launcher_.start(script.string(), noFocus);
        EXPECT_TRUE(result.started) << result.error;
        EXPECT_GT(result.processId, 0);
        for (int i = 0; i < 1000 && !fs::exists(trace); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::stringstream text;
        text << std::ifstream(trace).rdbuf();
        return text.str();
    }

    const fs::path dir_ = fs::temp_directory_path() /
                          ("zintor-launcher-" + std::to_string(::getpid()) + "-" +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    QtLauncher launcher_;
};

TEST_F(LauncherAdapterTest, StartsTheProgramItselfInItsOwnFolder) {
    // Blanks and shell syntax in the file name belong to the name: never a command line.
    const fs::path script = writeScript("my tool; touch pwned.sh");
    EXPECT_EQ(runAndTrace(script, false), dir_.string() + "\nid=\nargs=0\n");
    EXPECT_FALSE(fs::exists(dir_ / "pwned.sh"));

    // A start without focus announces launch time zero.
    const std::string trace = runAndTrace(script, true);
    EXPECT_NE(trace.find("\nid=zintor-"), std::string::npos) << trace;
    EXPECT_NE(trace.find("_TIME0\n"), std::string::npos) << trace;
}

TEST_F(LauncherAdapterTest, FilesThatCannotRunReportWhy) {
    for (const fs::path& path : {writeScript("notes.txt", false), dir_ / "missing", dir_}) {
        const LaunchResult result = launcher_.start(path.string(), false);
        EXPECT_FALSE(result.started) << path;
        EXPECT_FALSE(result.error.empty()) << path;
    }
}

}  // namespace
}  // namespace zintor
