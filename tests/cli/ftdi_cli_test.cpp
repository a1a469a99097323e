// The command line on the virtual FTDI chip (--sim-driver ftdi-bitbang): the same results
// as on the plain virtual port, and a chip that vanishes ends as a lost port does.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli_runner.h"

namespace {

using namespace cli_test;

const std::vector<std::string> onChip{"--sim-driver", "ftdi-bitbang"};

std::vector<std::string> joined(std::vector<std::string> first,
                                const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// 130 records from address 0: two full pages and the start of a third.
std::string updateFile() {
    std::string text;
    for (int address = 0; address < 130; ++address) {
        char line[16];
        std::snprintf(line, sizeof line, "%04X:%04X\r\n", address, (address * 37 + 11) & 0xFF);
        text += line;
    }
    return text;
}

TEST(CliOnTheFtdiChip, ReadWriteAndUpdateGiveWhatThePlainPortGives) {
    TempDirectory dir;
    dir.write("A1011B1011.upd", updateFile());
    struct Case {
        const char* name;
        std::vector<std::string> args;  // after --simulate --json, before the chip's options
        std::vector<std::string> outputs;
    };
    const Case cases[] = {
        {"read", {"read", "show"}, {}},
        {"write",
         {"--sim-save", "memory.bin", "read", "set", "1135=2,20", "write"},
         {"memory.bin"}},
        {"update",
         {"--yes", "--sim-flash-save", "flash.bin", "update", dir.file("A1011B1011.upd")},
         {"flash.bin"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> plainArgs = joined({"--simulate", "--json"}, c.args);
        std::vector<std::string> chipArgs =
            joined(joined({"--simulate", "--json"}, onChip), c.args);
        for (std::vector<std::string>* args : {&plainArgs, &chipArgs}) {
            for (std::string& arg : *args) {
                if (arg.ends_with(".bin")) {
                    arg = dir.file((args == &chipArgs ? "chip-" : "plain-") + arg);
                }
            }
        }
        const Outcome plain = runCli(dir, plainArgs);
        const Outcome chip = runCli(dir, chipArgs);
        EXPECT_EQ(plain.exit, 0) << plain.err;
        EXPECT_EQ(chip.exit, plain.exit) << chip.err;
        EXPECT_EQ(chip.err, plain.err);
        EXPECT_EQ(report(chip).at("messages"), report(plain).at("messages"));
        EXPECT_EQ(report(chip).at("controls"), report(plain).at("controls"));
        EXPECT_EQ(report(chip).at("outcome"), report(plain).at("outcome"));
        for (const std::string& output : c.outputs) {
            EXPECT_EQ(dir.read("chip-" + output), dir.read("plain-" + output)) << output;
        }
    }
}

// Unplugged while the pages load, the chip ends the update as a vanished serial port
// does: the same box and exit status, and the reason from the chip.
TEST(CliOnTheFtdiChip, AChipVanishingMidUpdateEndsAsALostPort) {
    TempDirectory dir;
    dir.write("A1011B1011.upd", updateFile());
    const std::vector<std::string> update{"--yes", "update", dir.file("A1011B1011.upd")};
    const Outcome plain =
        runCli(dir, joined({"--simulate", "--sim-unplug-after", "20000"}, update));
    const Outcome chip =
        runCli(dir, joined(joined({"--simulate", "--sim-unplug-after", "200"}, onChip), update));
    EXPECT_EQ(plain.exit, 1);
    EXPECT_EQ(chip.exit, plain.exit);
    EXPECT_THAT(plain.err, HasSubstr("Read/write error - code2!\nzek-cli: SIM: ioctl"));
    EXPECT_THAT(chip.err, HasSubstr("Read/write error - code2!\nzek-cli: SIM: ftdi_write_data "
                                    "failed: usb bulk write failed\n"));
}

}  // namespace
