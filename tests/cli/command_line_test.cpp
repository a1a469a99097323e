#include "cli/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "cli/step_check.h"
#include "resources/main_dialog_ids.h"

namespace cli {
namespace {

using testing::HasSubstr;

Options parsed(const std::vector<std::string>& args) {
    CommandLine commandLine = parseCommandLine(args);
    EXPECT_TRUE(commandLine.options) << commandLine.error;
    return commandLine.options.value_or(Options{});
}

std::string stepError(const std::vector<std::string>& args) {
    std::vector<std::optional<safety::SettingsBackup>> backups;
    return checkSteps(parsed(args).steps, backups);
}

TEST(CommandLine, AliasesAreClicksOnTheirCommands) {
    std::vector<ui::ControlId> clicked;
    for (const Step& step : parsed({"read", "read-memory", "2", "write", "write-memory", "1",
                                    "calibrate", "info", "locks", "rpm", "revs"})
                                .steps) {
        clicked.push_back(step.kind == StepKind::Click ? step.id : ui::noId);
    }
    EXPECT_EQ(clicked, (std::vector<ui::ControlId>{
                           ids::ReadButton, ids::ReadMemory2Item, ids::WriteButton,
                           ids::WriteMemory1Item, ids::CalibrateItem, ids::ProcessorInfoItem,
                           ids::LockFunctionsItem, ids::RpmSettingsButton, ids::RevCounterItem}));
}

TEST(CommandLine, ReadsOptionsInBothFormsAndSimKnobsImplySimulation) {
    const Options options =
        parsed({"--sim-fuses=C9,E4", "--sim-signature", "1e9406", "--sim-isp", "shift:31",
                "--sim-motor", "250.5:3", "--json", "set", "1135=1,90", "show"});
    EXPECT_EQ(options.port, PortChoice::Simulate);
    const shell::SimOptions& sim = options.shared.sim;
    EXPECT_EQ(std::tuple(sim.fuseHigh, sim.fuseLow, sim.signature[2], sim.isp, sim.ispShiftBits,
                         sim.motorHz.value_or(0), sim.motorSeconds),
              std::tuple(0xC9, 0xE4, 0x06, shell::SimIsp::Shift, 31, 250.5, 3.0));
    EXPECT_TRUE(options.json);
    ASSERT_EQ(options.steps.size(), 2u);
    EXPECT_EQ(options.steps[0].id, 1135);
    EXPECT_EQ(options.steps[0].value, "1,90");
    // Without a port option the program uses the one qvsetup.cfg names.
    EXPECT_EQ(parsed({"read"}).port, PortChoice::Configured);
    // The FTDI converter's fast path by serial number (ftdi:INDEX takes the same path).
    EXPECT_EQ(parsed({"--port", "ftdi:A50285BI", "read"}).device, "ftdi:A50285BI");
    EXPECT_EQ(parsed({"--sim-driver", "ftdi-bitbang", "read"}).shared.sim.driver, "ftdi-bitbang");
}

TEST(CommandLine, DoctorAndThePortListStandForTheSteps) {
    const Options doctor = parsed({"--json", "doctor", "--port", "/dev/ttyUSB0"});
    EXPECT_TRUE(doctor.doctor && doctor.json && doctor.steps.empty());
    EXPECT_EQ(doctor.device, "/dev/ttyUSB0");
    EXPECT_TRUE(parsed({"--list-ports"}).listPorts);
}

// The refusals are in the command line's failure table (run_test.cpp); here the steps
// that pass, and the values a command line of words cannot hold.
TEST(StepCheck, TakesEveryCommandAndSubDialogStepAndEntryText) {
    EXPECT_EQ(stepError({"set", "1145=V 1"}), "set 1145=V 1: control 1145 is read-only");
    EXPECT_NE(stepError({"set", "1135=" + std::string(256, '1')}), "");
    EXPECT_NE(stepError({"set", "1135=a\tb"}), "");
    // Every command of the dispatch table, menu items included, is a click.
    EXPECT_EQ(stepError({"click", "1147", "click", "1225", "click", "1183", "set", "1140=5", "set",
                         "1135=1,90", "set", "1181=1", "click", "1"}),
              "");
    EXPECT_EQ(stepError({"locks", "click", "1204", "set", "1206=1", "click", "1205", "click", "2",
                         "read"}),
              "");
    EXPECT_EQ(stepError({"rpm", "set", "1218=2000", "click", "1216", "click", "1", "show"}), "");
    EXPECT_EQ(stepError({"set", "1146=0", "set", "1146=mittel", "set", "1140=7,5°"}), "");
    EXPECT_EQ(stepError({"set", "1140= 7,5°"}), "");
}

TEST(StepCheck, TheHelpNamesWhatSetTakes) {
    const std::string controls = settableControlsText();
    EXPECT_THAT(controls, HasSubstr("1146  EMK-Bremse  "));
    EXPECT_THAT(controls, HasSubstr("0 \"aus\", 1 \"hart\", 2 \"mittel\", 3 \"weich\""));
    EXPECT_THAT(controls, HasSubstr("1206  RC-Setup sperren"));
    EXPECT_THAT(controls, HasSubstr("1139  Schaltfrequenz: 15,6 kHz  ")) << "a radio by its group";
    EXPECT_THAT(controls, testing::Not(HasSubstr("1145  "))) << "the version is read-only";
    // An empty label would stand as its 40 blanks and the two after it.
    EXPECT_THAT(controls, testing::Not(HasSubstr(std::string(42, ' ')))) << "every row named";
    const std::string help = usageText();
    for (const char* word : {"read-memory N", "save-settings FILE", "--sim-motor HZ[:SECONDS]",
                             "--backup-required", "--help-steps", "Exit status"}) {
        EXPECT_THAT(help, HasSubstr(word));
    }
}

}  // namespace
}  // namespace cli
