// The safety net end to end on the virtual controller: the automatic backup before a
// write, the dry run, diff-settings, and an update resumed after a vanishing port.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include "cli_runner.h"
#include "update/update_file_builder.h"

namespace {

using namespace cli_test;
namespace fs = std::filesystem;

// The virtual controller's backups, apart from a real controller's.
std::vector<fs::path> backupsOf(const TempDirectory& dir) {
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dataFolder(dir) + "/backups/virtual", error)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string readBackup(const TempDirectory& dir, const fs::path& backup) {
    return dir.read(fs::relative(backup, dir.path()).string());
}

bool updateRecorded(const TempDirectory& dir) {
    return fs::exists(dataFolder(dir) + "/update-record.json");
}

std::string editAndWrite(const char* options) {
    return std::string(options) + " read set 1135=2,20 click 1188 set 1146=2 write";
}

// A write changes exactly the bytes of the edited settings, after a backup of what the
// last read showed; a dry run sends nothing and lists exactly those bytes.
TEST(CliWrite, ChangesExactlyTheEditedBytesAfterABackupAndADryRunListsThem) {
    TempDirectory dir;
    ASSERT_EQ(runCli(dir, "--simulate read save-settings @read.json").exit, 0);
    EXPECT_TRUE(backupsOf(dir).empty()) << "a read alone writes no backup";

    const Outcome run = runCli(dir, editAndWrite("--simulate --sim-save @real.bin").c_str());
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.err, "") << "a backup that works is silent";
    const std::map<int, int> expected{
        {6, 0x17},  // neutral 1.50 ms is stored truncated: 2839 steps, not 2840
        {8, 0x30},  // 2.20 ms = 4400 steps
        {9, 0x11}, {10, 0x90 | 0x08 | 0x40},  // "Drehzahlbeg." and the brake join the option flags
        {17, 2},                              // brake "mittel"
    };
    const sim::SetupBytes original = sim::defaultSetupImage();
    EXPECT_EQ(differences(original, readMemory(dir, "real.bin")), expected);
    const std::vector<fs::path> backups = backupsOf(dir);
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(backups[0].filename().string().substr(19), "_V-10.11-1F.json");
    // The edits made before the write are not in it: it is what the controller held.
    EXPECT_EQ(readBackup(dir, backups[0]), dir.read("read.json"));

    const Outcome dry =
        runCli(dir, editAndWrite("--simulate --dry-run --json --sim-save @dry.bin").c_str());
    ASSERT_EQ(dry.exit, 0) << dry.err;
    EXPECT_EQ(readMemory(dir, "dry.bin"), original);
    EXPECT_EQ(report(dry).at("diff"), cli::json::parse(R"x([{"step": "write", "fields": [
        {"label": "Vollg. (ms)", "old": "2.00", "new": "2,20"},
        {"label": "EMK-Bremse", "old": "aus", "new": "mittel"},
        {"label": "Drehzahlbeg.", "old": "off", "new": "on"}], "setupBytes": [
        {"address": 9, "old": 15, "new": 17}, {"address": 8, "old": 160, "new": 48},
        {"address": 6, "old": 24, "new": 23}, {"address": 10, "old": 144, "new": 216},
        {"address": 17, "old": 0, "new": 2}]}])x")
                                          .value);
    EXPECT_EQ(backupsOf(dir).size(), 1u) << "only the real write took a backup";

    const Outcome text = runCli(dir, editAndWrite("--simulate --dry-run").c_str());
    EXPECT_THAT(text.out, HasSubstr("dry run: write would change\n  Vollg. (ms): 2.00 → 2,20\n"));
    EXPECT_THAT(text.out, HasSubstr("\n  setup byte 17: 0 → 2\n"));
}

// The backup before a write holds the main dialog's settings and the bytes it does not
// show, the lock byte and the regulator: loading it and writing puts every byte back.
TEST(CliAutomaticBackup, RestoresTheMainSettingsTheLockByteAndTheRegulator) {
    TempDirectory dir;
    // Written once by the program, so that no stored value is off by its rounding.
    ASSERT_EQ(runCli(dir, "--simulate --sim-save @original.bin read write").exit, 0);
    fs::remove_all(dataFolder(dir));
    const Outcome changed =
        runCli(dir,
               "--simulate --sim-memory @original.bin --sim-save @changed.bin read rpm click 1213 "
               "click 1 locks click 1204 set 1206=1 click 1205 click 2 rpm click 1213 set "
               "1218=2000 click 1216 set 1241=9 set 1242=2 click 1214 click 1 set 1140=3 set "
               "1135=2,10 set 1164=25 click 1193 set 1194=7,2 click 1180 write");
    ASSERT_EQ(changed.exit, 0) << changed.err;
    const sim::SetupBytes original = readMemory(dir, "original.bin");
    const std::map<int, int> changes = differences(original, readMemory(dir, "changed.bin"));
    for (const int address : {13, 27, 36, 37}) {
        EXPECT_TRUE(changes.contains(address)) << "lock byte, limit, P and I: " << address;
    }

    const std::vector<fs::path> backups = backupsOf(dir);
    ASSERT_EQ(backups.size(), 1u);
    const std::string restore =
        "--simulate --sim-memory @changed.bin --sim-save @restored.bin "
        "read load-settings @" +
        fs::relative(backups[0], dir.path()).string() + " write";
    const Outcome restored = runCli(dir, restore.c_str());
    ASSERT_EQ(restored.exit, 0) << restored.err;
    EXPECT_EQ(differences(original, readMemory(dir, "restored.bin")), (std::map<int, int>{}));
}

TEST(CliAutomaticBackup, AFailedBackupIsToldAndBlocksOnlyWithBackupRequired) {
    TempDirectory dir;
    // A file where the data folder should be: no folder can be made there, root or not.
    fs::create_directories(dir.file("data"));
    dir.write("data/zek-setup", "in the way");

    Outcome run = runCli(dir, editAndWrite("--simulate --sim-save @written.bin").c_str());
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_THAT(run.err, HasSubstr("zek-cli: backup failed: "));
    EXPECT_THAT(run.err, HasSubstr("; writing all the same\n"));
    EXPECT_FALSE(differences(sim::defaultSetupImage(), readMemory(dir, "written.bin")).empty());

    run = runCli(
        dir, editAndWrite("--simulate --backup-required --json --sim-save @refused.bin").c_str());
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(report(run).at("outcome").get<std::string>(), "refused");
    EXPECT_THAT(run.err, HasSubstr("write: --backup-required: the backup failed ("));
    EXPECT_EQ(readMemory(dir, "refused.bin"), sim::defaultSetupImage());
}

TEST(CliDiffSettings, ComparesTheControllerWithABackup) {
    TempDirectory dir;
    ASSERT_EQ(runCli(dir,
                     "--simulate read save-settings @same.json set 1135=2,10 click 1180 "
                     "save-settings @other.json")
                  .exit,
              0);
    const Outcome run =
        runCli(dir, "--simulate read diff-settings @same.json diff-settings @other.json");
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("same.json: no differences\n"));
    EXPECT_THAT(run.out, HasSubstr("other.json: the controller → the file\n"
                                   "  Vollg. (ms): 2.00 → 2,10\n"
                                   "  Signal-Toleranz: "));
    EXPECT_EQ(backupsOf(dir).size(), 0u);
}

// The first port loss from this list on that interrupts what the steps do, found by trying:
// the number of line operations an exchange takes is the link's business, not this test's.
std::optional<std::uint64_t> interruptingLoss(const std::function<bool(std::uint64_t)>& breaks) {
    for (std::uint64_t operations = 400000; operations >= 1000; operations = operations * 2 / 3) {
        if (breaks(operations)) {
            return operations;
        }
    }
    return std::nullopt;
}

TEST(CliUpdateRecovery, AnUpdateBrokenByAVanishingPortIsResumedToTheFullImage) {
    TempDirectory dir;
    // Four pages: byte i holds i * 37 + 11.
    dir.write("A1011B1011.upd", testing_support::plainUpdateFile(
                                    testing_support::consecutiveRecords(0, 4 * 64), "\r\n"));
    std::string image;
    for (int address = 0; address < 4 * 64; ++address) {
        image += static_cast<char>(address * 37 + 11);
    }
    const std::string file = dir.file("A1011B1011.upd");

    const std::optional<std::uint64_t> loss = interruptingLoss([&](std::uint64_t operations) {
        const Outcome run = runCli(dir, {"--simulate", "--yes", "--sim-unplug-after",
                                         std::to_string(operations), "update", file});
        return run.exit == 1 && updateRecorded(dir);
    });
    ASSERT_TRUE(loss) << "no port loss broke the update";

    Outcome run = runCli(dir, "--simulate read");
    EXPECT_THAT(run.err, HasSubstr("zek-cli: the update with " + file + " through SIM, started "));
    EXPECT_THAT(run.err, HasSubstr(", did not finish; the step update --resume runs it again\n"));

    // The record kept a copy: the original may move away meanwhile, but not the copy.
    const std::string copies = dataFolder(dir) + "/unfinished-update";
    fs::rename(copies, copies + "-away");
    run = runCli(dir, "--simulate --yes --json update --resume");
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(report(run).at("outcome").get<std::string>(), "refused");
    EXPECT_THAT(run.err, HasSubstr(file + ", which the unfinished update used, is gone"));
    EXPECT_TRUE(updateRecorded(dir)) << "a refused resume keeps the record";
    fs::rename(copies + "-away", copies);

    fs::rename(file, dir.file("moved.upd"));
    run = runCli(dir, "--simulate --yes --sim-flash-save @flash.bin update --resume");
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_THAT(run.err, HasSubstr("Warning!: Update starten?\n(OK: --yes)"));
    EXPECT_EQ(dir.read("flash.bin").substr(0, image.size()), image);
    EXPECT_FALSE(updateRecorded(dir));
}

TEST(CliInterruptedWrite, NamesTheFieldsAndTheBackupToRestore) {
    TempDirectory dir;
    Outcome broken;
    const std::optional<std::uint64_t> loss = interruptingLoss([&](std::uint64_t operations) {
        const std::string unplug = "--simulate --sim-unplug-after " + std::to_string(operations);
        broken = runCli(dir, editAndWrite(unplug.c_str()).c_str());
        return broken.err.find("write was interrupted") != npos;
    });
    ASSERT_TRUE(loss) << "no port loss broke the write";
    EXPECT_THAT(broken.err, HasSubstr("not stored: "));
    // Each try took a backup of its own read; the hint names the one of the broken write.
    const std::string before = "restore the settings from before it with load-settings ";
    const std::size_t at = broken.err.find(before);
    ASSERT_NE(at, npos) << broken.err;
    const std::size_t end = broken.err.find(" and a write\n", at);
    ASSERT_NE(end, npos);
    const fs::path named = broken.err.substr(at + before.size(), end - at - before.size());
    // As paths: Windows writes its own separators into the name it reports.
    EXPECT_EQ(named.parent_path(), fs::path(dataFolder(dir) + "/backups/virtual"));
    EXPECT_TRUE(fs::is_regular_file(named));
}

}  // namespace
