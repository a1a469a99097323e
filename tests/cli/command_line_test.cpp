#include "cli/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/step_check.h"
#include "config/temp_directory.h"
#include "resources/main_dialog_ids.h"

namespace cli {
namespace {

using testing::HasSubstr;

Options parsed(const std::vector<std::string>& args) {
    CommandLine commandLine = parseCommandLine(args);
    EXPECT_TRUE(commandLine.options) << commandLine.error;
    return commandLine.options.value_or(Options{});
}

std::string parseError(const std::vector<std::string>& args) {
    return parseCommandLine(args).error;
}

std::string stepError(const std::vector<std::string>& args) {
    std::vector<std::optional<safety::SettingsBackup>> backups;
    return checkSteps(parsed(args).steps, backups);
}

TEST(CommandLine, AliasesAreClicksOnTheirCommands) {
    const Options options = parsed({"read", "read-memory", "2", "write", "write-memory", "1",
                                    "calibrate", "info", "locks", "rpm", "revs"});
    const std::vector<ui::ControlId> expected{
        ids::ReadButton,        ids::ReadMemory2Item,   ids::WriteButton,
        ids::WriteMemory1Item,  ids::CalibrateItem,     ids::ProcessorInfoItem,
        ids::LockFunctionsItem, ids::RpmSettingsButton, ids::RevCounterItem};
    ASSERT_EQ(options.steps.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(options.steps[i].kind, StepKind::Click);
        EXPECT_EQ(options.steps[i].id, expected[i]);
    }
    EXPECT_EQ(options.steps[1].word, "read-memory 2");
}

TEST(CommandLine, ReadsOptionsInBothFormsAndSimKnobsImplySimulation) {
    const Options options =
        parsed({"--sim-fuses=C9,E4", "--sim-signature", "1e9406", "--sim-isp", "shift:31",
                "--sim-motor", "250.5:3", "--json", "set", "1135=1,90", "show"});
    EXPECT_EQ(options.port, PortChoice::Simulate);
    EXPECT_EQ(options.shared.sim.fuseHigh, 0xC9);
    EXPECT_EQ(options.shared.sim.fuseLow, 0xE4);
    EXPECT_EQ(options.shared.sim.signature[2], 0x06);
    EXPECT_EQ(options.shared.sim.isp, shell::SimIsp::Shift);
    EXPECT_EQ(options.shared.sim.ispShiftBits, 31);
    EXPECT_DOUBLE_EQ(*options.shared.sim.motorHz, 250.5);
    EXPECT_DOUBLE_EQ(options.shared.sim.motorSeconds, 3.0);
    EXPECT_TRUE(options.json);
    ASSERT_EQ(options.steps.size(), 2u);
    EXPECT_EQ(options.steps[0].id, 1135);
    EXPECT_EQ(options.steps[0].value, "1,90");
    // Without a port option the program uses the one qvsetup.cfg names.
    EXPECT_EQ(parsed({"read"}).port, PortChoice::Configured);
    EXPECT_EQ(parsed({"--port", "/dev/ttyUSB0", "read"}).device, "/dev/ttyUSB0");
    // The FTDI converter's fast path, by serial number or by index.
    EXPECT_EQ(parsed({"--port", "ftdi:A50285BI", "read"}).device, "ftdi:A50285BI");
    EXPECT_EQ(parsed({"--port", "ftdi:0", "read"}).device, "ftdi:0");
    EXPECT_EQ(parsed({"--sim-driver", "ftdi-bitbang", "read"}).shared.sim.driver, "ftdi-bitbang");
}

TEST(CommandLine, NamesWhatIsWrongWithAnArgument) {
    EXPECT_EQ(parseError({"frobnicate"}), "unknown step frobnicate");
    EXPECT_EQ(parseError({"read", "--json"}), "--json: options go before the steps");
    EXPECT_EQ(parseError({"--verbose=1", "read"}), "--verbose takes no value");
    EXPECT_EQ(parseError({"--frobnicate", "read"}), "unknown option --frobnicate");
    EXPECT_EQ(parseError({"--port"}), "--port needs a value");
    EXPECT_EQ(parseError({"--json=1", "read"}), "--json takes no value");
    EXPECT_THAT(parseError({"--port", "COM9", "read"}), HasSubstr("COM9"));
    EXPECT_THAT(parseError({"--port", "ftdi:", "read"}), HasSubstr("ftdi:SERIAL"));
    EXPECT_THAT(parseError({"--sim-driver", "ftdi-bitbang2", "read"}), HasSubstr("ftdi-bitbang"));
    EXPECT_NE(parseError({"--port", "COM1", "--simulate", "read"}), "");
    EXPECT_NE(parseError({"--sim-signature", "1E93", "read"}), "");
    EXPECT_NE(parseError({"--sim-lockbits", "XY", "read"}), "");
    EXPECT_NE(parseError({"--sim-fuses", "D9", "read"}), "");
    EXPECT_NE(parseError({"--sim-isp", "shift:32", "read"}), "");
    EXPECT_NE(parseError({"--sim-motor", "0", "read"}), "");
    EXPECT_NE(parseError({"--sim-motor", "100:nan", "read"}), "");
    EXPECT_NE(parseError({"--sim-motor", "100:61", "read"}), "");
    EXPECT_NE(parseError({"--sim-device", "zek2", "read"}), "");
    EXPECT_EQ(parseError({"read-memory", "3"}), "read-memory: 3 is not 1 or 2");
    EXPECT_EQ(parseError({"click"}), "click needs a control id");
    EXPECT_EQ(parseError({"click", "12ab"}), "click: 12ab is not a control id");
    EXPECT_EQ(parseError({"set", "1135"}), "set: 1135 is not ID=VALUE");
    EXPECT_EQ(parseError({"update"}), "update needs a file");
}

TEST(CommandLine, DoctorAndThePortListStandForTheSteps) {
    const Options doctor = parsed({"--json", "doctor", "--port", "/dev/ttyUSB0"});
    EXPECT_TRUE(doctor.doctor);
    EXPECT_TRUE(doctor.json);
    EXPECT_EQ(doctor.device, "/dev/ttyUSB0");
    EXPECT_TRUE(doctor.steps.empty());
    EXPECT_TRUE(parsed({"--list-ports"}).listPorts);
    EXPECT_EQ(parseError({"doctor", "read"}), "doctor takes no steps: read");
    EXPECT_EQ(parseError({"doctor", "--frobnicate"}), "unknown option --frobnicate");
}

TEST(StepCheck, RefusesIdsAndValuesTheDialogDoesNotHave) {
    EXPECT_EQ(stepError({"click", "9999"}), "click 9999: dialog 1227 has no control 9999");
    EXPECT_EQ(stepError({"click", "1135"}), "click 1135: control 1135 cannot be clicked");
    EXPECT_EQ(stepError({"set", "1149=1"}), "set 1149=1: control 1149 takes no value");
    EXPECT_EQ(stepError({"set", "1137=2"}), "set 1137=2: control 1137 takes 0 or 1");
    EXPECT_EQ(stepError({"set", "1140=6"}),
              "set 1140=6: control 1140 takes a list index from 0 to 5");
    EXPECT_EQ(stepError({"set", "1146=-1"}),
              "set 1146=-1: control 1146 takes a list index from 0 to 3");
    EXPECT_EQ(stepError({"set", "1142=1a"}), "set 1142=1a: control 1142 takes digits only");
    EXPECT_EQ(stepError({"set", "1145=V 1"}), "set 1145=V 1: control 1145 is read-only");
    EXPECT_NE(stepError({"set", "1135=" + std::string(256, '1')}), "");
    EXPECT_NE(stepError({"set", "1135=a\tb"}), "");
    // Every command of the dispatch table, menu items included, is a click.
    EXPECT_EQ(stepError({"click", "1147", "click", "1225", "click", "1183", "set", "1140=5", "set",
                         "1135=1,90", "set", "1181=1", "click", "1"}),
              "");
}

TEST(StepCheck, ListsTakeAnEntrysTextAndTheHelpNamesWhatSetTakes) {
    EXPECT_EQ(stepError({"set", "1146=mittel", "set", "1140=7,5°", "set", "1140= 7,5°"}), "");
    EXPECT_EQ(stepError({"set", "1146=sanft"}),
              "set 1146=sanft: control 1146 takes a list index from 0 to 3");
    const std::string controls = settableControlsText();
    EXPECT_THAT(controls, HasSubstr("1146  EMK-Bremse  "));
    EXPECT_THAT(controls, HasSubstr("0 \"aus\", 1 \"hart\", 2 \"mittel\", 3 \"weich\""));
    EXPECT_THAT(controls, HasSubstr("1206  RC-Setup sperren"));
    EXPECT_THAT(controls, testing::Not(HasSubstr("1145  "))) << "the version is read-only";
    const std::string help = usageText();
    for (const char* word : {"read-memory N", "save-settings FILE", "--sim-motor HZ[:SECONDS]",
                             "--backup-required", "--help-steps", "Exit status"}) {
        EXPECT_THAT(help, HasSubstr(word));
    }
}

TEST(StepCheck, FollowsSubDialogsFromTheirOpeningToTheirClosing) {
    EXPECT_EQ(stepError({"locks", "click", "1204", "set", "1206=1", "click", "1205", "click", "2",
                         "read"}),
              "");
    EXPECT_EQ(stepError({"click", "1204"}), "click 1204: dialog 1227 has no control 1204");
    EXPECT_EQ(stepError({"rpm", "read"}), "read: dialog 1231 has no control 1149");
    EXPECT_EQ(stepError({"revs", "save-settings", "x.json"}),
              "save-settings x.json: works on the main dialog, but dialog 1239 is open");
    EXPECT_EQ(stepError({"rpm", "set", "1218=2000", "click", "1216", "click", "1", "show"}), "");
    EXPECT_EQ(stepError({"click", "2", "read"}),
              "read: no step can follow the one that ends the program");
}

TEST(StepCheck, RefusesFilesThatCannotBeUsed) {
    testing_support::TempDirectory dir;
    dir.write("fw.upd", ":00000001FF\n");
    dir.write("notes.json", "{\"format\": \"something else\"}");
    EXPECT_EQ(stepError({"update", dir.file("fw.upd")}), "");
    EXPECT_EQ(
        stepError({"update", dir.file("missing.upd")}),
        "update " + dir.file("missing.upd") + ": " + dir.file("missing.upd") + " does not exist");
    EXPECT_THAT(stepError({"update", dir.path()}), HasSubstr("is not a file"));
    EXPECT_THAT(stepError({"load-settings", dir.file("notes.json")}),
                HasSubstr("not a settings backup"));
    EXPECT_THAT(stepError({"save-settings", dir.file("no/such/dir.json")}),
                HasSubstr("no existing"));

    Options options = parsed({"--sim-memory", dir.file("fw.upd"), "read"});
    EXPECT_THAT(checkOptionFiles(options), HasSubstr("256-byte"));
    options = parsed({"--trace", dir.path(), "read"});
    EXPECT_THAT(checkOptionFiles(options), HasSubstr("is a directory"));
}

}  // namespace
}  // namespace cli
