// The command line end to end on the virtual controller.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "cli_runner.h"

namespace {

using namespace cli_test;

// Address → new value, for every byte that differs.
std::map<int, int> differences(const sim::SetupBytes& before, const sim::SetupBytes& after) {
    std::map<int, int> changed;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i]) {
            changed[static_cast<int>(i)] = after[i];
        }
    }
    return changed;
}

// The bytes sigrok-cli's SPI decoder finds on one line of a trace, as "55 0C 00 …".
std::string decodeSpi(const std::string& vcd, const char* annotation) {
    const std::string command =
        "sigrok-cli -I vcd:downsample=100:compress=1000 -i '" + vcd +
        "' -P spi:clk=CLOCK:mosi=DATA_OUT:miso=DATA_IN -A spi=" + annotation + " 2>&1";
    std::string bytes;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return bytes;
    }
    char line[256];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        const std::string text(line);
        const auto colon = text.find(": ");
        if (colon != npos) {
            bytes += (bytes.empty() ? "" : " ") + text.substr(colon + 2, 2);
        }
    }
    pclose(pipe);
    return bytes;
}

// On the virtual serial port and on the virtual FTDI chip.
TEST(CliRead, ShowsTheControllersSettings) {
    TempDirectory dir;
    for (const char* driver : {"native", "ftdi-bitbang"}) {
        const Outcome run = runCli(dir, {"--sim-driver", driver, "read", "show"});
        EXPECT_EQ(run.exit, 0) << run.err;
        EXPECT_EQ(run.err, "");
        for (const char* line : {
                 "1145  Version/Typ  \"V 10.11-1F\"\n",
                 "1135  Vollg.  \"2.00\"\n",
                 "1166  Neut.  \"1.50\"\n",
                 "1134  Stopp retour  \"1.00\"\n",
                 "1140  Kommutierungs- Timing  \"auto\"\n",
                 "1139  15,6 kHz  \"15,6 kHz\"  [checked]\n",
                 "1171  abregeln  \"abregeln\"  [checked]\n",
                 "1194  Volt  \"\"  [disabled]\n",
                 "1044  Aktueller Speicher  \"OK\"  [disabled]\n",
                 "1184  Release  \"Release\"  [hidden]\n",
                 "1104  Hilfe  \"Hilfe-Datei\"  [disabled]\n",
             }) {
            EXPECT_THAT(run.out, HasSubstr(line));
        }
    }
}

TEST(CliRead, ReportsProceduresChangesButNotTheUsersOwn) {
    TempDirectory dir;
    const Outcome run = runCli(dir, {"--simulate", "--json", "set", "1135=1,95", "read"});
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
    EXPECT_EQ(root.at("menu").at("1104").at("enabled").get<bool>(), false);
    EXPECT_EQ(root.at("beeps").get<int>(), 1);
    EXPECT_TRUE(root.at("messages").empty());
    EXPECT_TRUE(root.at("dialogs").empty());
    EXPECT_EQ(root.at("exit").get<int>(), 0);
}

TEST(CliWrite, ChangesExactlyTheBytesOfTheEditedSettings) {
    TempDirectory dir;
    const Outcome run =
        runCli(dir, {"--simulate", "--sim-save", dir.file("after.bin"), "read", "set", "1135=2,20",
                     "click", "1188", "set", "1146=2", "write"});
    ASSERT_EQ(run.exit, 0) << run.err;
    const std::map<int, int> expected{
        {6, 0x17},  // neutral 1.50 ms is stored truncated: 2839 steps, not 2840
        {8, 0x30},  // 2.20 ms = 4400 steps
        {9, 0x11}, {10, 0x90 | 0x08 | 0x40},  // "Drehzahlbeg." and the brake join the option flags
        {17, 2},                              // brake "mittel"
    };
    EXPECT_EQ(differences(sim::defaultSetupImage(), readMemory(dir, "after.bin")), expected);
}

// Each model memory command works on its own memory: the brake changed and written to
// memory 2 lands there alone, and reads back from there alone.
TEST(CliWrite, EachModelMemoryIsWrittenAndReadAtItsOwnPlace) {
    TempDirectory dir;
    const Outcome run = runCli(dir, {"--simulate", "--sim-save", dir.file("after.bin"), "read",
                                     "set", "1146=2", "write-memory", "2"});
    ASSERT_EQ(run.exit, 0) << run.err;
    const std::map<int, int> changed =
        differences(sim::defaultSetupImage(), readMemory(dir, "after.bin"));
    EXPECT_EQ(changed.at(52), 2);
    EXPECT_TRUE(
        std::ranges::none_of(changed, [](auto c) { return c.first >= 40 && c.first < 50; }));
    for (const auto& [memory, brake] : {std::pair{"1", 0}, std::pair{"2", 2}}) {
        const Outcome read = runCli(dir, {"--simulate", "--json", "--sim-memory",
                                          dir.file("after.bin"), "read", "read-memory", memory});
        ASSERT_EQ(read.exit, 0) << read.err;
        EXPECT_EQ(report(read).at("controls").at("1146").at("selection").get<int>(), brake);
    }
}

TEST(CliExitStatus, FailedStepStopsTheRunWithStatusOne) {
    TempDirectory dir;
    struct Case {
        std::vector<std::string> args;
        std::string err;
        std::string owner;  // of the box; empty when the program itself refuses the step
        std::string outcome = "failed";
    };
    const Case cases[] = {
        {{"--simulate", "write-memory", "1", "read"},
         "Error!: Zuerst Werte einlesen!\n",
         "none",
         "refused"},
        // A refused opening runs none of the sub-dialog's steps.
        {{"--simulate", "locks", "click", "1204", "click", "2"},
         "Error!: Zuerst Werte einlesen!\n",
         "none",
         "refused"},
        {{"--simulate", "--sim-device", "other", "read"}, "ERROR!: falsches Gerät!\n", "none"},
        {{"--simulate", "--sim-adapter", "missing", "read"},
         "Error: No Adaptor found at SIM\n",
         "main"},
        {{"--sim-adapter=stuck", "read"}, "Error: No Adaptor found at SIM\n", "main"},
        {{"--sim-device=none", "read"}, "ERROR!: Keine Verbindung!\n", "none"},
        // A driver that cannot carry the lines, and a port lost while connecting or later.
        {{"--sim-driver", "cdc-acm", "read"},
         "Error: No Adaptor found at SIM\nzek-cli: SIM: CTS always reads on (a CDC-ACM port has "
         "no real modem lines), so DATA-IN cannot be read; use a USB-serial converter with real "
         "modem lines (FTDI, CP210x, PL2303) or an on-board port\n",
         "main"},
        {{"--sim-unplug-after", "500", "read"},
         "Error: COM-Init-Error!\nzek-cli: SIM: open failed: No such file or directory\n",
         "none"},
        {{"--sim-unplug-after", "2000", "read"},
         "Error: Keine Verbindung!\nzek-cli: SIM: ioctl(TIOCMGET) failed: Input/output error\n",
         "main"},
        // A device that is not there fails like a missing COM port.
        {{"--port", dir.file("no-such-tty"), "read"},
         "Error: COM-Init-Error!\nzek-cli: " + missingDeviceDetail(dir.file("no-such-tty")) + "\n",
         "main"},
        // What no mouse can do is refused by the program itself.
        {{"--simulate", "click", "1150"},
         "zek-cli: click 1150: control 1150 is disabled\n",
         "",
         "refused"},
        {{"--simulate", "read", "set", "1194=8,4"},
         "zek-cli: set 1194=8,4: control 1194 is disabled\n",
         "",
         "refused"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "--json");
        const Outcome run = runCli(dir, args);
        EXPECT_EQ(run.exit, 1);
        EXPECT_EQ(run.err, c.err);
        const cli::json::Value root = report(run);
        EXPECT_EQ(root.at("exit").get<int>(), 1);
        EXPECT_EQ(root.at("outcome").get<std::string>(), c.outcome);
        const auto& messages = root.at("messages");
        ASSERT_EQ(messages.size(), c.owner.empty() ? 0u : 1u);
        if (!c.owner.empty()) {
            EXPECT_EQ(messages[0].at("owner").get<std::string>(), c.owner);
            EXPECT_EQ(messages[0].at("buttons").get<std::string>(), "ok");
            // No read got through.
            EXPECT_EQ(root.at("controls").at("1145").at("text").get<std::string>(), "");
        }
    }
    // Once the check box enables it, the field takes a value.
    EXPECT_EQ(runCli(dir, {"--simulate", "read", "click", "1193", "set", "1194=8,4"}).exit, 0);
}

TEST(CliExitStatus, UsageErrorSendsNothingAndWritesNothing) {
    TempDirectory dir;
    const std::vector<std::vector<std::string>> cases{
        {"read", "frobnicate"},
        {"read", "click", "4711"},
        {"read", "set", "1140=9"},
        {"read", "update", "/nonexistent/fw.upd"},
        {"--sim-memory", "/nonexistent/memory.bin", "read"},
        {},
    };
    for (std::vector<std::string> args : cases) {
        args.insert(args.begin(), {"--simulate", "--sim-save", dir.file("memory.bin"), "--trace",
                                   dir.file("trace.vcd")});
        const Outcome run = runCli(dir, args);
        EXPECT_EQ(run.exit, 2) << args.back();
        EXPECT_EQ(run.out, "");
        EXPECT_THAT(run.err, StartsWith("zek-cli: "));
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_FALSE(dir.exists("memory.bin"));
        EXPECT_FALSE(dir.exists("trace.vcd"));
        EXPECT_FALSE(dir.exists("qvsetup.cfg"));
    }
}

TEST(CliBackup, RestoreLeavesTheSetupMemoryAsItWas) {
    TempDirectory dir;
    // Written once by the program, so that no stored value is off by its rounding.
    Outcome run = runCli(dir, {"--simulate", "--sim-save", dir.file("original.bin"), "read",
                               "write", "read", "save-settings", dir.file("backup.json")});
    ASSERT_EQ(run.exit, 0) << run.err;
    run = runCli(dir, {"--simulate", "--sim-memory", dir.file("original.bin"), "--sim-save",
                       dir.file("changed.bin"), "read", "set", "1140=3", "set", "1135=2,10", "set",
                       "1164=25", "click", "1193", "set", "1194=7,2", "click", "1180", "write"});
    ASSERT_EQ(run.exit, 0) << run.err;
    const sim::SetupBytes original = readMemory(dir, "original.bin");
    ASSERT_FALSE(differences(original, readMemory(dir, "changed.bin")).empty());

    run = runCli(
        dir, {"--simulate", "--sim-memory", dir.file("changed.bin"), "--sim-save",
              dir.file("restored.bin"), "read", "load-settings", dir.file("backup.json"), "write"});
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(differences(original, readMemory(dir, "restored.bin")), (std::map<int, int>{}));

    const cli::json::ParseResult backup = cli::json::parse(dir.read("backup.json"));
    ASSERT_TRUE(backup.value);
    EXPECT_EQ(backup.value->at("controllerVersion").get<std::string>(), "V 10.11-1F");
}

TEST(CliBackup, RefusesABackupOfAnotherFamilyOrBeforeARead) {
    TempDirectory dir;
    ASSERT_EQ(runCli(dir, {"--simulate", "read", "save-settings", dir.file("family1.json")}).exit,
              0);
    std::string text = dir.read("family1.json");
    text.replace(text.find("\"family\": 1"), 11, "\"family\": 3");
    dir.write("family3.json", text);

    Outcome run = runCli(dir, {"--simulate", "read", "load-settings", dir.file("family3.json")});
    EXPECT_EQ(run.exit, 1);
    EXPECT_THAT(run.err, HasSubstr("family-3"));
    run = runCli(dir, {"--simulate", "load-settings", dir.file("family1.json"), "read"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_THAT(run.err, HasSubstr("read the controller's settings first"));
    run = runCli(dir, {"--simulate", "save-settings", dir.file("nothing.json")});
    EXPECT_EQ(run.exit, 1);
    EXPECT_FALSE(dir.exists("nothing.json"));
}

TEST(CliConfirmation, CancelledWithoutYesOrTerminalAndAskedOnATerminal) {
    TempDirectory dir;
    // Two records for V 10.11, the default virtual controller's version.
    dir.write("A1011B1011.upd", "0000:0017\r\n0001:0018\r\n");
    std::vector<std::string> args{"--simulate",          "--json", "--sim-flash-save",
                                  dir.file("flash.bin"), "update", dir.file("A1011B1011.upd")};
    Outcome run = runCli(dir, args);
    EXPECT_EQ(run.exit, 1);
    EXPECT_THAT(run.err, HasSubstr("Warning!: Update starten?\n(Cancel: no terminal to ask"));
    EXPECT_EQ(report(run).at("messages").back().at("buttons").get<std::string>(), "okcancel");
    EXPECT_EQ(dir.read("flash.bin").substr(0, 2), "\xFF\xFF");

    run = runCli(dir, args, "n\n", true);
    EXPECT_EQ(run.exit, 1);
    EXPECT_THAT(run.err, HasSubstr("Warning!: Update starten?\nOK? [y/N] "));
    EXPECT_EQ(dir.read("flash.bin").substr(0, 2), "\xFF\xFF");

    run = runCli(dir, args, "y\n", true);
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(dir.read("flash.bin").substr(0, 2), "\x17\x18");

    args.insert(args.begin(), "--yes");
    run = runCli(dir, args);
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_THAT(run.err, HasSubstr("(OK: --yes)"));
    EXPECT_EQ(dir.read("flash.bin").size(), 256u * 64u);
}

TEST(CliResults, AFinalReadAndTheProcessorsDetailsGoToStandardOutput) {
    TempDirectory dir;
    Outcome run = runCli(dir, {"--simulate", "read", "set", "1146=mittel", "write", "read"});
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_THAT(run.out, StartsWith("Version                   V 10.11-1F\n"));
    EXPECT_THAT(run.out, HasSubstr("\nEMK-Bremse                mittel\n"));
    EXPECT_THAT(run.out, HasSubstr("\nVollg. (ms)               2.00\n"));
    run = runCli(dir, {"--simulate", "read", "show"});
    EXPECT_EQ(run.out.find("Version   "), npos) << "only a run that ends with a read";

    run = runCli(dir, {"--simulate", "info"});
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_FALSE(run.out.empty());
    EXPECT_THAT(run.err, HasSubstr(run.out.substr(0, run.out.size() - 1)));
}

TEST(CliConfig, OnlyARealPortsRunChangesAnExistingQvsetupCfg) {
    TempDirectory dir;
    dir.write("qvsetup.cfg", "COM5");
    // Neither the motor data nor the port of "Ende" are saved from the virtual controller.
    Outcome run = runCli(dir, {"--simulate", "read", "rpm", "set", "1176=14", "click", "1221",
                               "click", "1", "click", "2"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(dir.read("qvsetup.cfg"), "COM5");

    // A real port's run leaves no file where there was none.
    TempDirectory empty;
    run = runCli(empty, {"--port", empty.file("no-such-port"), "show"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_FALSE(empty.exists("qvsetup.cfg"));
}

TEST(CliTrace, IsAVcdOfTheFourWires) {
    TempDirectory dir;
    const Outcome run = runCli(dir, {"--simulate", "--trace", dir.file("read.vcd"), "read"});
    ASSERT_EQ(run.exit, 0) << run.err;
    const std::string vcd = dir.read("read.vcd");
    EXPECT_THAT(vcd, StartsWith("$timescale 1 ns $end"));
    for (const char* wire : {" CLOCK $end", " DATA_OUT $end", " RESET $end", " DATA_IN $end"}) {
        EXPECT_THAT(vcd, HasSubstr(wire));
    }
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

TEST(CliProcessor, InfoAndCalibrationReportThroughTheirBoxes) {
    TempDirectory dir;
    Outcome run = runCli(dir, {"--simulate", "--sim-fuses", "C9,E4", "info"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_THAT(run.err, StartsWith("Info: Vendor Code: 1E\n"));
    EXPECT_THAT(run.err, HasSubstr("C9"));

    run = runCli(dir, {"--simulate", "--progress", "--sim-calibration", "9C", "--sim-save",
                       dir.file("calibrated.bin"), "calibrate"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_THAT(run.err, StartsWith("status: verbinden....\nstatus: connecting....\n"));
    EXPECT_THAT(run.err, HasSubstr("Kalibrierung erfolgreich!: soll: 9C"));
    EXPECT_EQ(readMemory(dir, "calibrated.bin")[15], 0x9C);

    run = runCli(dir, {"--simulate", "--sim-isp", "silent", "info"});
    EXPECT_EQ(run.exit, 1) << run.err;
}

}  // namespace

namespace cli_test {
namespace {

// --lang en: boxes, status words and show in English; the JSON names each text the same
// in both languages, so a script reads the name, not the words.
TEST(CliLanguage, EnglishTextsWithTheNamesTheGermanOnesHave) {
    TempDirectory dir;
    for (const char* language : {"de", "en"}) {
        SCOPED_TRACE(language);
        const bool english = std::string(language) == "en";
        const Outcome refused =
            runCli(dir, {"--simulate", "--lang", language, "--json", "write-memory", "1"});
        const cli::json::Value refusal = report(refused);
        const cli::json::Value& box = refusal["messages"][0];
        EXPECT_EQ(box["text"], english ? "Read the values first!" : "Zuerst Werte einlesen!");
        EXPECT_EQ(box["textName"], "ReadFirst");
        EXPECT_EQ(box["captionName"], "ErrorBangCaption");

        const Outcome read = runCli(dir, {"--simulate", "--lang", language, "read", "show"});
        EXPECT_THAT(read.out,
                    HasSubstr(english ? "1149  Read  \"Read\"" : "1149  Lesen  \"Lesen\""));
        EXPECT_THAT(read.out,
                    HasSubstr(english ? "1146  EMF brake  \"off\"" : "1146  EMK-Bremse  \"aus\""));
        const cli::json::Value controls =
            report(runCli(dir, {"--simulate", "--lang", language, "--json", "read"}))["controls"];
        EXPECT_EQ(controls["1146"]["text"], english ? "off" : "aus");
        EXPECT_EQ(controls["1146"]["textName"], "BrakeOff");
        EXPECT_EQ(controls["1044"]["textName"], "StatusOk");
        const cli::json::Value changes =
            report(runCli(dir, {"--simulate", "--lang", language, "--json", "read"}))["changes"];
        bool reading = false;
        for (const cli::json::Value& change : changes) {
            if (change.contains("valueName") && change["valueName"] == "StatusReading") {
                reading = true;
                EXPECT_EQ(change["value"], english ? "reading....." : "lesen.....");
            }
        }
        EXPECT_TRUE(reading);
    }
}

}  // namespace
}  // namespace cli_test
