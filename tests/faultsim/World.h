#pragma once

#include <memory>
#include <string>

#include "Invariants.h"
#include "Schedule.h"
#include "app/Program.h"
#include "platform/sim/SimWorld.h"

namespace zintor::faultsim {

// The whole program on the simulated world, set up as a schedule's Config says, and the
// schedule's events done to it.
class World {
  public:
    static constexpr int kMaxDepth = 60;  // waits nested deeper are a runaway

    explicit World(const Config& config);
    ~World();

    void apply(const Event& event);
    void exit();  // the user clicks Exit, if the tray icon is still there to click

    SimWorld sim;
    std::unique_ptr<Program> program;
    std::unique_ptr<Invariants> invariants;

  private:
    void phoneSends(const std::string& text);
    void playlist(int entries, int current);
};

}  // namespace zintor::faultsim
