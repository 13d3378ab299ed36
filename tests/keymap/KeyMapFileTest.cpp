// Finding, reading and loading KeyMap.xml, and telling the user when that goes wrong.

#include <gtest/gtest.h>

#include "app/Program.h"
#include "keymap/KeyMapFile.h"
#include "link/Link.h"
#include "platform/sim/SimWorld.h"

namespace zintor {
namespace {

const std::string kOwn = "/home/user/.config/Zintor/KeyMap.xml";
const std::string kInstalled = "/opt/zintor/KeyMap.xml";
const std::string kShared = "/usr/share/zintor/KeyMap.xml";

std::string Named(const std::string& name) {
    return "<KEYMAP><KEYMAP_NAME>" + name + "</KEYMAP_NAME>";
}

class KeyMapFile : public ::testing::Test {
  protected:
    KeyMapFileOutcome LoadNow() { return LoadKeyMapFile(state, world.files, world.loop); }

    SimWorld world;
    ProgramState state;
};

TEST_F(KeyMapFile, TheUsersOwnFileComesFirstThenTheOneBesideTheProgramThenTheShared) {
    world.files.putFile(kShared, Named("Shared"));
    world.files.putFile(kOwn, Named("Mine"));
    world.files.putFile(kInstalled, Named("Shipped"));
    auto outcome = LoadNow();
    EXPECT_EQ(outcome.path, kOwn);
    EXPECT_EQ(outcome.problem, std::nullopt);
    ASSERT_EQ(state.KeyMaps.size(), 1u);
    EXPECT_EQ(state.KeyMaps[0].Name, "Mine");

    world.files.remove(kOwn);
    state.KeyMaps.clear();
    outcome = LoadNow();
    EXPECT_EQ(outcome.path, kInstalled);
    ASSERT_EQ(state.KeyMaps.size(), 1u);
    EXPECT_EQ(state.KeyMaps[0].Name, "Shipped");

    world.files.remove(kInstalled);
    state.KeyMaps.clear();
    EXPECT_EQ(LoadNow().path, kShared);
    EXPECT_EQ(state.KeyMaps[0].Name, "Shared");
}

TEST_F(KeyMapFile, MissingUnreadableAndBrokenFilesAreProblemsThatNameTheFile) {
    EXPECT_EQ(LoadNow().problem, "KeyMap.xml not found (looked for " + kOwn + ", " + kInstalled +
                                     " and " + kShared + "); no key maps loaded");

    world.files.putFile(kOwn, Named("Mine"));
    world.files.setUnreadable(kOwn);
    EXPECT_EQ(LoadNow().problem, kOwn + ": cannot be read; no key maps loaded");
    EXPECT_TRUE(state.KeyMaps.empty());

    world.files.putFile(kInstalled, Named("Good") + "\n<KEYMAP>\n  <KEY_3>\n    <COMMAND_TYPE>");
    EXPECT_EQ(LoadNow().problem, kOwn + ": cannot be read; no key maps loaded");  // preferred
    world.files.remove(kOwn);
    EXPECT_EQ(LoadNow().problem,
              kInstalled + ":4:5: COMMAND_TYPE before any COMMAND_ID for key KEY_3");
    ASSERT_EQ(state.KeyMaps.size(), 2u);  // what came before the error stays
    EXPECT_EQ(state.KeyMaps[0].Name, "Good");
}

TEST_F(KeyMapFile, ReadKeyMapFileReportsAProblemToTheLogTheDesktopAndTheDiagnostics) {
    Ports ports = world.ports();
    Program program(ports);
    ProgramState& shared = program.state();
    Link& link = program.link();
    shared.LogEnabled = true;
    link.InitLog();
    world.files.putFile(kInstalled, Named("Shipped"));
    ReadKeyMapFile(shared, ports, link);  // all loads: silent
    EXPECT_TRUE(world.logSink.diagnostics().empty());
    EXPECT_TRUE(world.desktop.callsStartingWith("notify").empty());

    world.files.putFile(kInstalled, "<KEYMAP>\n<KEYMAP_NAME>Office\n");
    shared.KeyMaps.clear();
    ReadKeyMapFile(shared, ports, link);
    const std::string problem =
        kInstalled + ":2:1: expected \"</\" to end the value of KEYMAP_NAME";
    EXPECT_EQ(world.logSink.diagnostics(), std::vector<std::string>{problem});
    EXPECT_EQ(world.desktop.callsStartingWith("notify"),
              std::vector<std::string>{"notify Zintor key map: " + problem});
    EXPECT_NE(world.files.contents(shared.LogFileName).find(problem), std::string::npos);
    EXPECT_EQ(shared.KeyMaps.size(), 1u);
}

}  // namespace
}  // namespace zintor
