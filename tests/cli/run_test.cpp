// The command line end to end on the virtual controller: what a run shows, writes and
// reports, and every way a run fails, as one table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "cli/console_host.h"
#include "cli_runner.h"

namespace cli_test {
namespace {

// The bytes sigrok-cli's SPI decoder finds on one line of a trace, as "55 0C 00 …".
std::string decodeSpi(const std::string& vcd, const char* annotation) {
    return commandOutput("sigrok-cli -I vcd:downsample=100:compress=1000 -i '" + vcd +
                         "' -P spi:clk=CLOCK:mosi=DATA_OUT:miso=DATA_IN -A spi=" + annotation +
                         " 2>&1 | sed -n 's/.*: \\(..\\).*/\\1/p' | tr '\\n' ' '");
}

// "show" lists every control with its state; a final read's results go to standard output.
TEST(CliRead, ShowsTheControllersSettingsAndAFinalReadsResults) {
    TempDirectory dir;
    const Outcome run = runCli(dir, "--simulate read show");
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (const char* line :
         {"1145  Version/Typ  \"V 10.11-1F\"\n", "1140  Kommutierungs- Timing  \"auto\"\n",
          "1139  15,6 kHz  \"15,6 kHz\"  [checked]\n", "1194  Volt  \"\"  [disabled]\n",
          "1184  Release  \"Release\"  [hidden]\n", "1104  Hilfe  \"Hilfe-Datei\"  [disabled]\n"}) {
        EXPECT_THAT(run.out, HasSubstr(line));
    }
    EXPECT_EQ(run.out.find("Version   "), npos) << "the results follow only a final read";

    const Outcome results = runCli(dir, "--simulate read set 1146=mittel write read");
    ASSERT_EQ(results.exit, 0) << results.err;
    EXPECT_THAT(results.out, StartsWith("Version                   V 10.11-1F\n"));
    EXPECT_THAT(results.out, HasSubstr("\nEMK-Bremse                mittel\n"));
    EXPECT_THAT(results.out, HasSubstr("\nVollg. (ms)               2.00\n"));
}

TEST(CliRead, ReportsProceduresChangesButNotTheUsersOwn) {
    TempDirectory dir;
    const Outcome run = runCli(dir, "--simulate --json set 1135=1,95 read");
    ASSERT_EQ(run.exit, 0) << run.err;
    const cli::json::Value root = report(run);
    const auto& changes = root.at("changes");
    ASSERT_GE(changes.size(), 3u);
    EXPECT_EQ(changes[0].at("id").get<std::string>(), "1044");
    EXPECT_EQ(changes[0].at("field").get<std::string>(), "enabled");
    EXPECT_EQ(changes[1].at("value").get<std::string>(), "verbinden....");
    int fullThrottleChanges = 0;
    for (const auto& change : changes) {
        if (change.at("id").get<std::string>() == "1135") {
            ++fullThrottleChanges;
            EXPECT_EQ(change.at("value").get<std::string>(), "2.00");
        }
    }
    EXPECT_EQ(fullThrottleChanges, 1);
    EXPECT_EQ(root.at("controls").at("1140").at("selection").get<int>(), 5);
    EXPECT_EQ(root["controls"]["1146"]["textName"], "BrakeOff");  // in every language
    EXPECT_EQ(root.at("menu").at("1104").at("enabled").get<bool>(), false);
    EXPECT_EQ(root.at("beeps").get<int>(), 1);
    EXPECT_TRUE(root.at("messages").empty());
    EXPECT_TRUE(root.at("dialogs").empty());
}

// Every way a run can fail. "usage": exit 2 before anything runs, the reason on one line;
// else exit 1 with the outcome the JSON report names and the owner of its one box, none
// when the program itself refuses the step.
TEST(CliFailures, EachEndsWithItsStatusAndSaysWhy) {
    TempDirectory dir;
    dir.write("fw.upd", ":00000001FF\n");
    dir.write("notes.json", "{\"format\": \"something else\"}");
    ASSERT_EQ(runCli(dir, "--simulate read save-settings @family1.json").exit, 0);
    std::string family3 = dir.read("family1.json");
    dir.write("family3.json", family3.replace(family3.find("\"family\": 1"), 11, "\"family\": 3"));
    const std::string at = dir.file("");
    const std::string ports =
        "neither COM1 … COM8, 0278, 0378, 03BC, ftdi:SERIAL, ftdi:INDEX nor a device path";
    const std::string motor = "HZ[:SECONDS] (up to 100000 Hz, up to 60 s)";
    const struct {
        const char* args;
        const char* ends;
        std::string err;
    } cases[] = {
        // The command line itself.
        {"", "usage", "no steps given (zek-cli --help lists them)"},
        {"frobnicate", "usage", "unknown step frobnicate"},
        {"read --json", "usage", "--json: options go before the steps"},
        {"--verbose=1 read", "usage", "--verbose takes no value"},
        {"--frobnicate read", "usage", "unknown option --frobnicate"},
        {"--port", "usage", "--port needs a value"},
        {"--port COM9 read", "usage", "--port: COM9 is " + ports},
        {"--port 0379 show", "usage", "--port: 0379 is " + ports},
        {"--port ftdi: read", "usage", "--port: ftdi: is " + ports},
        {"--sim-driver ftdi-bitbang2 read", "usage",
         "--sim-driver: ftdi-bitbang2 is not one of "
         "native|ftdi|cp210x|ch341|ch341-nobreak|pl2303|cdc-acm|ftdi-bitbang"},
        {"--port COM1 --simulate read", "usage",
         "--port cannot be combined with --simulate or the --sim options"},
        {"--sim-signature 1E93 read", "usage",
         "--sim-signature: 1E93 is not six hexadecimal digits"},
        {"--sim-fuses D9 read", "usage", "--sim-fuses: D9 is not HH,LL in hexadecimal"},
        {"--sim-isp shift:32 read", "usage",
         "--sim-isp: shift:32 is not in-step, shift:N (0 … 31), silent, locked, locked-once or "
         "erased"},
        {"--sim-motor 0 read", "usage", "--sim-motor: 0 is not " + motor},
        {"--sim-motor 100:nan read", "usage", "--sim-motor: 100:nan is not " + motor},
        {"--sim-motor 100:61 read", "usage", "--sim-motor: 100:61 is not " + motor},
        {"--sim-device zek2 read", "usage", "--sim-device: zek2 is not zek, other or none"},
        {"--sim-memory @fw.upd read", "usage",
         "--sim-memory: " + dir.file("fw.upd") + " is not a 256-byte setup memory image"},
        {"--sim-memory @none.bin read", "usage",
         "--sim-memory: " + dir.file("none.bin") + " does not exist"},
        {"--trace @ read", "usage", "--trace: " + at + " is a directory"},
        {"doctor read", "usage", "doctor takes no steps: read"},
        {"read-memory 3", "usage", "read-memory: 3 is not 1 or 2"},
        {"click", "usage", "click needs a control id"},
        {"click 12ab", "usage", "click: 12ab is not a control id"},
        {"set 1135", "usage", "set: 1135 is not ID=VALUE"},
        // Steps the dialogs cannot take, and files that cannot be used.
        {"click 9999", "usage", "click 9999: dialog 1227 has no control 9999"},
        {"click 1135", "usage", "click 1135: control 1135 cannot be clicked"},
        {"set 1149=1", "usage", "set 1149=1: control 1149 takes no value"},
        {"set 1137=2", "usage", "set 1137=2: control 1137 takes 0 or 1"},
        {"set 1140=6", "usage", "set 1140=6: control 1140 takes a list index from 0 to 5"},
        {"set 1142=1a", "usage", "set 1142=1a: control 1142 takes digits only"},
        {"rpm read", "usage", "read: dialog 1231 has no control 1149"},
        {"revs save-settings x.json", "usage",
         "save-settings x.json: works on the main dialog, but dialog 1239 is open"},
        {"click 2 read", "usage", "read: no step can follow the one that ends the program"},
        {"--simulate --sim-save @memory.bin --trace @trace.vcd read click 4711", "usage",
         "click 4711: dialog 1227 has no control 4711"},
        {"update @missing.upd", "usage",
         "update " + at + "missing.upd: " + at + "missing.upd does not exist"},
        {"load-settings @notes.json", "usage",
         "load-settings " + at + "notes.json: " + at + "notes.json not a settings backup"},
        {"save-settings @no/such/dir.json", "usage",
         "save-settings " + at + "no/such/dir.json: " +
             std::filesystem::path(at + "no/such/dir.json").make_preferred().string() +
             " is in no existing directory"},
        // Refused by the program before anything is sent.
        {"--simulate read set 1194=8,4", "refused", "set 1194=8,4: control 1194 is disabled"},
        {"--simulate load-settings @family1.json read", "refused",
         "load-settings " + at + "family1.json: read the controller's settings first"},
        {"--simulate read load-settings @family3.json", "refused",
         "load-settings " + at + "family3.json: " + at +
             "family3.json was saved from a family-3 controller (V 10.11-1F); this one is family "
             "1"},
        {"--simulate --backup-required calibrate", "refused",
         "calibrate: --backup-required: no settings have been read, so there is nothing to back "
         "up (read first)"},
        {"--simulate --yes update --resume", "refused",
         "update --resume: no unfinished update is recorded"},
        // Refused by the commands, with their boxes; a refused opening runs none of the
        // sub-dialog's steps.
        {"--simulate write-memory 1 read", "refused none", "Error!: Zuerst Werte einlesen!\n"},
        {"--simulate locks click 1204 click 2", "refused none", "Error!: Zuerst Werte einlesen!\n"},
        {"--simulate read set 1134=3.0 write", "refused main", "Error!: Stopp 0.8 - 1.7ms !\n"},
        // The controller or the adapter is not there, or the port goes.
        {"--sim-device=none read", "failed none", "ERROR!: Keine Verbindung!\n"},
        {"--simulate --sim-adapter missing read", "failed main",
         "Error: No Adaptor found at SIM\n"},
        {"--sim-driver cdc-acm read", "failed main",
         "Error: No Adaptor found at SIM\nzek-cli: SIM: CTS always reads on (a CDC-ACM port has "
         "no real modem lines), so DATA-IN cannot be read; use a USB-serial converter with real "
         "modem lines (FTDI, CP210x, PL2303) or an on-board port\n"},
        {"--sim-unplug-after 500 read", "failed none",
         "Error: COM-Init-Error!\nzek-cli: SIM: open failed: No such file or directory\n"},
        {"--sim-unplug-after 2000 read", "failed main",
         "Error: Keine Verbindung!\nzek-cli: SIM: ioctl(TIOCMGET) failed: Input/output error\n"},
        // The FTDI chip counts its transfers: gone at the second, the converter's first test.
        {"--sim-driver ftdi-bitbang --sim-unplug-after 1 read", "failed main",
         "Error: COM-Init-Error!\nzek-cli: SIM: ftdi_write_data failed: usb bulk write failed; the "
         "same converter also works, more slowly, as a plain serial port (/dev/ttyUSB…)\n"},
        // A device that is not there fails like a missing COM port.
        {"--port @no-such-tty read", "failed main",
         "Error: COM-Init-Error!\nzek-cli: " + missingDeviceDetail(dir.file("no-such-tty")) + "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const std::string ends = c.ends;
        const bool usage = ends == "usage";
        const Outcome run = runCli(dir, ((usage ? "" : "--json ") + std::string(c.args)).c_str());
        // No failed run leaves a file behind, nor does a real port's run make qvsetup.cfg.
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"family1.json", "family3.json", "fw.upd",
                                                         "notes.json"}));
        if (usage) {
            EXPECT_EQ(run.exit, 2);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err, "zek-cli: " + c.err + "\n");
            continue;
        }
        EXPECT_EQ(run.exit, 1);
        const bool box = ends.find(' ') != npos;
        EXPECT_EQ(run.err, box ? c.err : "zek-cli: " + c.err + "\n");
        const cli::json::Value root = report(run);
        EXPECT_EQ(root.at("outcome").get<std::string>(), ends.substr(0, ends.find(' ')));
        const auto& messages = root.at("messages");
        ASSERT_EQ(messages.size(), box ? 1u : 0u);
        if (box) {
            EXPECT_EQ(messages[0].at("owner").get<std::string>(), ends.substr(ends.find(' ') + 1));
            EXPECT_EQ(messages[0].at("buttons").get<std::string>(), "ok");
        }
    }
    // Once the check box enables it, the field takes a value.
    EXPECT_EQ(runCli(dir, "--simulate read click 1193 set 1194=8,4").exit, 0);
}

TEST(CliConfirmation, CancelledWithoutYesOrTerminalAndAskedOnATerminal) {
    TempDirectory dir;
    // Two records for V 10.11, the default virtual controller's version.
    dir.write("A1011B1011.upd", "0000:0017\r\n0001:0018\r\n");
    const struct {
        std::string options, input;
        const char *outcome, *said, *flash;
    } runs[] = {
        {"", "", "cancelled", "Warning!: Update starten?\n(Cancel: no terminal to ask", "\xFF\xFF"},
        {"", "n\n", "cancelled", "Warning!: Update starten?\nOK? [y/N] ", "\xFF\xFF"},
        {"", "y\n", "done", "", "\x17\x18"},
        {"--yes ", "", "done", "Warning!: Update starten?\n(OK: --yes)", "\x17\x18"},
        // A dry run leaves the flash erased and records no unfinished update.
        {"--yes --dry-run ", "", "done", "", "\xFF\xFF"},
    };
    cli::json::Value root;
    for (const auto& [options, input, outcome, said, flash] : runs) {
        SCOPED_TRACE(options + input);
        const Outcome run = runCli(
            dir,
            (options + "--simulate --json --sim-flash-save @flash.bin update @A1011B1011.upd")
                .c_str(),
            input, !input.empty());
        root = report(run);
        EXPECT_EQ(root.at("outcome").get<std::string>(), outcome);
        EXPECT_EQ(run.exit, outcome == std::string("done") ? 0 : 1);
        EXPECT_EQ(root.at("messages").back().at("buttons").get<std::string>(), "okcancel");
        EXPECT_THAT(run.err, HasSubstr(said));
        EXPECT_EQ(dir.read("flash.bin").substr(0, 2), flash);
    }
    ASSERT_EQ(root.at("diff").size(), 1u);
    EXPECT_EQ(root["diff"][0]["flash"], cli::json::parse(R"({"bytes": 2, "pages": 1})").value);
    EXPECT_FALSE(std::filesystem::exists(dataFolder(dir) + "/update-record.json"));
}

TEST(CliConfig, OnlyARealPortsRunChangesAnExistingQvsetupCfg) {
    TempDirectory dir;
    dir.write("qvsetup.cfg", "COM5");
    // Neither the motor data nor the port of "Ende" are saved from the virtual controller.
    Outcome run = runCli(dir, "--simulate read rpm set 1176=14 click 1221 click 1 click 2");
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(dir.read("qvsetup.cfg"), "COM5");

    // A parallel base is chosen for this run only: "show" touches no port.
    run = runCli(dir, "--json --port 0378 show");
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(report(run)["menu"]["1159"]["checked"], false) << "COM5, the file's";
    run = runCli(dir, "--json --port COM3 show");
    EXPECT_TRUE(report(run).at("menu").at("1157").at("checked").get<bool>());
    EXPECT_EQ(dir.read("qvsetup.cfg"), "COM5");
}

#if !defined(_WIN32)
// --user-dir finds qvsetup.cfg in the user's configuration folder, made if need be; a
// folder that cannot be made is a usage error before anything is sent.
TEST(CliConfig, TheUserFolderIsMadeOrItsFailureIsAUsageError) {
    TempDirectory dir;
    dir.write("file", "");
    for (const char* configHome : {"config", "file"}) {
        ::setenv("XDG_CONFIG_HOME", dir.file(configHome).c_str(), 1);
        std::ostringstream out, err;
        std::istringstream in;
        const int exit = cli::run({"--user-dir", "--simulate", "show"}, {out, err, in, false});
        ::unsetenv("XDG_CONFIG_HOME");
        const bool made = configHome == std::string("config");
        EXPECT_EQ(exit, made ? 0 : 2);
        const std::string reason = "zek-cli: --user-dir: " + dir.file("file/zek-setup");
        EXPECT_TRUE(made ? err.str().empty() : err.str().starts_with(reason)) << err.str();
    }
    EXPECT_EQ(dir.names("config"), std::vector<std::string>{"zek-setup"});
}
#endif

TEST(CliTrace, IsAVcdOfTheFourWires) {
    TempDirectory dir;
    const Outcome run = runCli(dir, "--simulate --trace @read.vcd read");
    ASSERT_EQ(run.exit, 0) << run.err;
    // The file's form is held by the decoder below, where sigrok-cli is installed.
    const std::string vcd = dir.read("read.vcd");
    EXPECT_THAT(vcd, StartsWith("$timescale 1 ns $end\n"));
    EXPECT_GT(std::count(vcd.begin(), vcd.end(), '#'), 1000);
    if (std::system("sigrok-cli --version > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "sigrok-cli is not installed";
    }
    // The identity bytes 12, 32, 33, 31 and 35 requested with "U", address, 0 and answered
    // with the echo, the byte and 0, as an SPI decoder in mode 0 reads them.
    EXPECT_THAT(decodeSpi(dir.file("read.vcd"), "mosi-data"),
                HasSubstr("55 0C 00 55 20 00 55 21 00 55 1F 00 55 23 00"));
    EXPECT_THAT(decodeSpi(dir.file("read.vcd"), "miso-data"),
                HasSubstr("55 66 00 55 10 00 55 11 00 55 1F 00 55 20 00"));
}

// The processor's details go to standard output too.
TEST(CliProcessor, InfoAndCalibrationReportThroughTheirBoxes) {
    TempDirectory dir;
    Outcome run = runCli(dir, "--simulate --sim-fuses C9,E4 info");
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_THAT(run.err, StartsWith("Info: Vendor Code: 1E\n"));
    EXPECT_THAT(run.out, HasSubstr("C9"));
    EXPECT_THAT(run.err, HasSubstr(run.out.substr(0, run.out.size() - 1)));

    // --progress prints each word the status field shows.
    run = runCli(dir, "--simulate --progress calibrate");
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_THAT(run.err, StartsWith("status: verbinden....\nstatus: connecting....\n"));
}

// --lang en: boxes, status words and show in English; the JSON names each text as it
// names the German one (CliRead.ReportsProceduresChangesButNotTheUsersOwn), so a script
// reads the name, not the words.
TEST(CliLanguage, EnglishTextsWithTheNamesTheGermanOnesHave) {
    TempDirectory dir;
    const cli::json::Value root =
        report(runCli(dir, "--simulate --lang en --json read set 1134=3.0 write"));
    const cli::json::Value& box = root["messages"][0];
    EXPECT_EQ(box["text"], "Stop 0.8 - 1.7ms !");
    EXPECT_EQ(box["textName"], "StopRange");
    EXPECT_EQ(box["captionName"], "ErrorBangCaption");
    EXPECT_TRUE(std::ranges::any_of(root["changes"], [](const cli::json::Value& change) {
        return change.contains("valueName") && change["valueName"] == "StatusReading" &&
               change["value"] == "reading.....";
    }));
    EXPECT_THAT(runCli(dir, "--simulate --lang en read show").out,
                HasSubstr("1146  EMF brake  \"off\""));
}

// The system error behind a box follows that box once; -v logs the ports of a run.
TEST(CliDetail, FollowsItsBoxOnceAndVerboseLogsThePorts) {
    std::ostringstream err;
    std::istringstream in;
    cli::ConsoleHost host(err, in, {.yes = true});
    host.setPendingDetail("/dev/ttyUSB1: open failed: Permission denied");
    host.messageBox(nullptr, "COM-Init-Error!", "Error", ui::Buttons::Ok);
    host.messageBox(nullptr, "Update starten?", "Warning!", ui::Buttons::OkCancel);
    EXPECT_EQ(err.str(),
              "Error: COM-Init-Error!\n"
              "zek-cli: /dev/ttyUSB1: open failed: Permission denied\n"
              "Warning!: Update starten?\n(OK: --yes)\n");
    ASSERT_EQ(host.messages().size(), 2u);
    EXPECT_EQ(host.messages()[0].detail + host.messages()[1].detail,
              "/dev/ttyUSB1: open failed: Permission denied");

    TempDirectory dir;
    const Outcome verbose = runCli(dir, "-v --simulate read");
    EXPECT_EQ(verbose.exit, 0);
    EXPECT_THAT(verbose.err, testing::AllOf(StartsWith("zek-cli: "), HasSubstr("SIM")));
}

}  // namespace
}  // namespace cli_test
