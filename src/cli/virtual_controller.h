// The virtual controller behind --simulate, set up from the --sim options.
#pragma once

#include <memory>
#include <string>

#include "cli/command_line.h"
#include "shell/app.h"

namespace sim {
class TestRig;
}

namespace cli {

class VirtualController {
  public:
    explicit VirtualController(const SimOptions& options);
    ~VirtualController();
    VirtualController(const VirtualController&) = delete;
    VirtualController& operator=(const VirtualController&) = delete;

    // Loads --sim-memory; empty on success, else the reason.
    std::string loadMemory();
    shell::Backends backends();
    // Writes --sim-save, --sim-flash-save and --trace; empty on success, else the reasons.
    std::string saveOutputs();

    sim::TestRig& rig() { return *m_rig; }

  private:
    SimOptions m_options;
    std::unique_ptr<sim::TestRig> m_rig;
};

}  // namespace cli
