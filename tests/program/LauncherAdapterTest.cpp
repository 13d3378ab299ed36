// QtLauncher against real processes: a small shell script that leaves a trace in a file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

#include "ChildProcess.h"
#include "platform/qt/QtLauncher.h"

namespace zintor {
namespace {

namespace fs = std::filesystem;

TEST(QtLauncher, StartsTheProgramItselfInItsOwnFolderOrSaysWhyItCannot) {
    const QTemporaryDir folder;
    const fs::path dir = folder.path().toStdString();
    // Blanks and shell syntax in the file name belong to the name: never a command line. The
    // script writes its working folder, DESKTOP_STARTUP_ID and argument count (atomically).
    const fs::path script = dir / "my tool; touch pwned.sh";
    std::ofstream(script)
        << "#!/bin/sh\n{ pwd; echo \"id=$DESKTOP_STARTUP_ID\"; echo \"args=$#\"; }"
           " > trace.tmp\nmv trace.tmp trace.txt\n";
    ::chmod(script.c_str(), 0755);
    QtLauncher launcher;
    const auto startAndTrace = [&](bool noFocus) {
        fs::remove(dir / "trace.txt");
        const LaunchResult result = launcher.start(script.string(), noFocus);
        EXPECT_TRUE(result.started) << result.error;
        EXPECT_GT(result.processId, 0);
        testing::ChildProcess::eventually([&] { return fs::exists(dir / "trace.txt"); });
        return testing::ChildProcess::readFile(dir / "trace.txt");
    };
    EXPECT_EQ(startAndTrace(false), dir.string() + "\nid=\nargs=0\n");
    // A start without focus announces launch time zero.
    const std::string trace = startAndTrace(true);
    EXPECT_NE(trace.find("\nid=zintor-"), std::string::npos) << trace;
    EXPECT_NE(trace.find("_TIME0\n"), std::string::npos) << trace;

    // Files that cannot run: not executable, missing, a folder.
    std::ofstream(dir / "notes.txt") << "#!/bin/sh\n";
    for (const fs::path& path : {dir / "notes.txt", dir / "missing", dir}) {
        const LaunchResult result = launcher.start(path.string(), false);
        EXPECT_FALSE(result.started) << path;
        EXPECT_FALSE(result.error.empty()) << path;
    }
}

}  // namespace
}  // namespace zintor
