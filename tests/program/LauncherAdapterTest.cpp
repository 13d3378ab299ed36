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
        dir_ = fs::temp_directory_path() /
               ("zintor-launcher-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A script that writes its working folder and DESKTOP_STARTUP_ID into trace.txt (atomically).
    fs::path writeScript(const std::string& name, bool executable = true) {
        const fs::path script = dir_ / name;
        std::ofstream out(script);
        out << "#!/bin/sh\n"
               "{ pwd; echo \"id=$DESKTOP_STARTUP_ID\"; echo \"args=$#\"; } > trace.tmp\n"
               "mv trace.tmp trace.txt\n";
        out.close();
        ::chmod(script.c_str(), executable ? 0755 : 0644);
        return script;
    }

    // The trace the script left, waiting for it to appear (it runs as its own process).
    std::string waitForTrace() {
        const fs::path trace = dir_ / "trace.txt";
        for (int i = 0; i < 1000 && !fs::exists(trace); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::ifstream in(trace);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path dir_;
    QtLauncher launcher_;
};

TEST_F(LauncherAdapterTest, StartsTheProgramInItsOwnFolderWithoutArguments) {
    const fs::path script = writeScript("tool.sh");
    const LaunchResult result = launcher_.start(script.string(), false);
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_GT(result.processId, 0);
    EXPECT_EQ(waitForTrace(), dir_.string() + "\nid=\nargs=0\n");
}

TEST_F(LauncherAdapterTest, PathIsNeverReadAsACommandLine) {
    // Blanks and shell syntax in the file name belong to the name.
    const fs::path script = writeScript("my tool; touch pwned.sh");
    const LaunchResult result = launcher_.start(script.string(), false);
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_EQ(waitForTrace(), dir_.string() + "\nid=\nargs=0\n");
    EXPECT_FALSE(fs::exists(dir_ / "pwned.sh"));
}

TEST_F(LauncherAdapterTest, NoFocusStartAnnouncesLaunchTimeZero) {
    const fs::path script = writeScript("player.sh");
    const LaunchResult result = launcher_.start(script.string(), true);
    ASSERT_TRUE(result.started) << result.error;
    const std::string trace = waitForTrace();
    EXPECT_NE(trace.find("id=zintor-"), std::string::npos) << trace;
    EXPECT_NE(trace.find("_TIME0\n"), std::string::npos) << trace;
}

TEST_F(LauncherAdapterTest, FilesThatCannotRunReportWhy) {
    const fs::path text = writeScript("notes.txt", false);
    LaunchResult result = launcher_.start(text.string(), false);
    EXPECT_FALSE(result.started);
    EXPECT_FALSE(result.error.empty());

    result = launcher_.start((dir_ / "missing").string(), false);
    EXPECT_FALSE(result.started);
    EXPECT_FALSE(result.error.empty());

    result = launcher_.start(dir_.string(), false);
    EXPECT_FALSE(result.started);
    EXPECT_FALSE(result.error.empty());
}

}  // namespace
}  // namespace zintor
