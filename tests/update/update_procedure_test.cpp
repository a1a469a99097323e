// "Update-Datei öffnen" end to end against the virtual controller's bootloader.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "sim/procedure_rig.h"
#include "update/update_file_builder.h"

namespace {

using testing_support::consecutiveRecords;
using testing_support::plainUpdateFile;
using Kind = sim::PageLogEntry::Kind;

constexpr std::int32_t noSetup = 0xFFFF;
const std::string smallFile = plainUpdateFile(consecutiveRecords(0, 3));

// One program run against one virtual controller, in its own directory.
struct Station : sim::ProcedureRig {
    Station() {
        setControllerVersion(0x3012);
        memory()[13] = 0xFE;
        host.onRepaint = [this](ui::Dialog& dialog) {
            statusTexts.push_back(dialog.text(ids::StatusField));
            // The update file's name and the running update's word stand in an enabled field.
            const std::string& shown = statusTexts.back();
            if ((shown == "Update laeuft" || shown.ends_with(".upd")) &&
                !dialog.enabled(ids::StatusField)) {
                statusTexts.back() += " (disabled)";
            }
            if (statusTexts.back() == pending.first && pending.second) {
                pending.second(*this);
            }
        };
    }
    void run(const std::string& name, const std::string& bytes) { outcome = update(name, bytes); }

    ui::RecordingHost& host = rig.host();
    ui::Outcome outcome = ui::Outcome::Done;  // how the last run ended
    std::vector<std::string> statusTexts;
    std::pair<std::string, std::function<void(Station&)>> pending;  // once the status shows it
};

class UpdateProcedure : public ::testing::Test, public Station {};

std::function<void(Station&)> kind(sim::DeviceKind k) {
    return [k](Station& s) { s.rig.controllerConfig().kind = k; };
}

TEST_F(UpdateProcedure, BothFormsProgramPagesInFileOrder) {
    // Pages 0, 1, 1 again (not reselected), 0 again (holding only its new bytes), 255.
    std::vector<std::string> records;
    std::vector<std::uint8_t> expected(0x4000, 0xFF);
    const auto add = [&](std::uint32_t from, std::uint32_t count, int first, int step) {
        for (std::uint32_t i = 0; i < count; ++i) {
            expected[from + i] = static_cast<std::uint8_t>(first + step * int(i));
            records.push_back(testing_support::recordText(from + i, expected[from + i]));
        }
    };
    add(0, 0x80, 11, 37);
    add(0x40, 8, 0xA0, 1);
    std::fill_n(expected.begin(), 0x40, 0xFF);
    add(0, 4, 0x50, 1);
    add(0x3FC0, 0x40, 11, 37);
    std::vector<std::pair<Kind, int>> expectedPages;
    for (const int page : {0, 1, 0, 255}) {
        expectedPages.insert(expectedPages.end(), {{Kind::Select, page}, {Kind::Commit, page}});
    }
    EXPECT_EQ(update::runUpdate(updateCtx),
              ui::Outcome::Cancelled);  // no file chosen: nothing happens
    EXPECT_TRUE(host.messages.empty());
    Station scrambled;
    run("A3010B3012.upd", plainUpdateFile(records, "\r\n"));
    scrambled.run("A3010B3012.upd", testing_support::scrambledUpdateFile(records));
    for (Station* s : {static_cast<Station*>(this), &scrambled}) {
        std::vector<std::pair<Kind, int>> pages;
        for (const sim::PageLogEntry& entry : s->rig.pageLog()) {
            pages.emplace_back(entry.kind, entry.page);
        }
        EXPECT_EQ(pages, expectedPages);
        EXPECT_TRUE(std::ranges::equal(s->rig.flash().bytes(), expected));
    }
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.lastText(), "Update starten?");
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(mainDialog.text(ids::StatusField), "OK");
    EXPECT_EQ(rig.setupMemory()[13], 0xFF);  // the RC setup is allowed again
    EXPECT_EQ(controllerVersion, noSetup);
    EXPECT_NE(dir.read("qvsetup.cfg").find(dir.file("A3010B3012.upd")), std::string::npos);
    EXPECT_EQ(std::ranges::count(statusTexts, "A3010B3012.upd"), 1);
    EXPECT_EQ(host.fileRequests.at(0).title + host.fileRequests.at(0).filter, "Open a File*.upd");
    // The bootloader gets its own start: a second from RESET released to the first bit
    // (the firmware's start waits half as long).
    std::uint64_t releasedNs = 0;
    std::uint64_t longestStartNs = 0;
    for (const sim::LineEvent& e : rig.trace().events()) {
        if (e.line == sim::Line::Reset && e.high) {
            releasedNs = e.timeNs;
        } else if (e.line == sim::Line::Clock && e.high && releasedNs != 0) {
            longestStartNs = std::max(longestStartNs, e.timeNs - releasedNs);
            releasedNs = 0;
        }
    }
    EXPECT_GE(longestStartNs, 1'000'000'000u);
}

TEST_F(UpdateProcedure, RefusalsFailuresAndTheirMessages) {
    const std::string good = plainUpdateFile(consecutiveRecords(0, 100));
    std::string badScrambled = testing_support::scrambledUpdateFile(consecutiveRecords(0, 100));
    ++badScrambled[400];
    const auto at = [](const char* status, std::function<void(Station&)> action) {
        return [=](Station& s) { s.pending = {status, action}; };
    };
    const auto version = [](int v) { return [v](Station& s) { s.setControllerVersion(v); }; };
    const auto cancel = [](Station& s) { s.host.answers.push_back(ui::Answer::Cancel); };
    const auto slowCommit = [](Station& s) { s.rig.controllerConfig().pageCommitNs = 80'000'000; };
    const struct {
        const char* text;
        const char* caption;
        bool ownedByMain;
        std::string file;  // offered under name when not empty
        std::function<void(Station&)> arrange = [](Station&) {};
        const char* status = " ";  // nullptr: not checked
        std::size_t boxes = 1;     // 2: the start question came first and programming began
        const char* name = "A3012B3012.upd";
    } cases[] = {
        // Neither version in the name is the controller's.
        {"Datei nicht kompatibel!", "", false, smallFile, version(0x3012), " ", 1,
         "A3010B3011.upd"},
        {"Bitte kompatibles Setup-Programm downloaden!", "ERROR!", false, smallFile,
         version(0x2005), "connected"},
        {"Kompatibilität nicht überprüfbar, da kein RC-Setup gemacht wurde.\n"
         "Es wird dringend empfohlen ein Setup zu machen.\nUpdate trotzdem ohne Setup starten?",
         "Warning!", false, smallFile,
         [=](Station& s) {
             version(noSetup)(s);
             cancel(s);
         }},
        {"  PORT ?", "ERROR!", false, "", [](Station& s) { s.rig.selectParallel(); }, nullptr},
        {"open error!", "", false, "",
         [](Station& s) { s.host.files.push_back(s.dir.file("missing.upd")); }, nullptr},
        {"Open Error!", "Error", true, smallFile, [](Station&) {}, " ", 1, "A3012B3012.bin"},
        {"Keine Verbindung!", "Error", true, smallFile, kind(sim::DeviceKind::NothingAttached)},
        {"angeschlossenes Gerät ist kein ZEK-Micro!", "ERROR!", false, smallFile,
         at("connecting....", kind(sim::DeviceKind::OtherKind)), "connecting...."},
        {"No connection!", "Error", true, smallFile,
         at("connecting....", kind(sim::DeviceKind::NothingAttached))},
        // The file is read and checked whole before the first page; bad records come last.
        {"file error 1!", "", false, smallFile,
         at("connected",
            [](Station& s) { std::filesystem::remove(s.dir.file("A3012B3012.upd")); })},
        {"file error 4!", "", false, "\377\377\377\377:\377\377\377"},
        {"file error 5!", "", false, good + "0100\n"},
        {"file error 6!", "Error", true, good + "0100:00\n"},
        {"file error 7: address 4000 or above!", "", false, good + "4000:0011\n"},
        // Checked even when the controller has no setup to compare with.
        {"wrong file!", "ERROR:", false, badScrambled, version(noSetup)},
        {"Update starten?", "Warning!", false, smallFile, cancel},
        // A bootloader slower than the commit wait confirms nothing.
        {"Read/write error - code1!", "", false, good, slowCommit, " ", 2},
        {"Read/write error!", "", false, smallFile, slowCommit, " ", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Station s;
        c.arrange(s);
        if (c.file.empty()) {
            s.outcome = update::runUpdate(s.updateCtx);
            EXPECT_EQ(s.rig.serialPorts().openCount(), 0);
        } else {
            s.run(c.name, c.file);
        }
        ASSERT_EQ(s.host.messages.size(), c.boxes) << s.host.lastText();
        EXPECT_EQ(s.host.lastText(), c.text);
        EXPECT_EQ(s.host.lastCaption(), c.caption);
        EXPECT_EQ(s.host.messages.back().ownerId, c.ownedByMain ? s.mainDialog.id() : 0);
        if (c.status) {
            EXPECT_EQ(s.mainDialog.text(ids::StatusField), c.status);
        }
        EXPECT_EQ(s.mainDialog.enabled(ids::StatusField), c.status && *c.status != ' ');
        EXPECT_EQ(s.rig.pageLog().empty(), c.boxes == 1);  // the flash changes only by pages
        EXPECT_EQ(s.host.beeps, 0);
    }
}

TEST_F(UpdateProcedure, BootloaderStopsHalfwayAndARepeatSucceedsWithProgress) {
    const std::string file = plainUpdateFile(consecutiveRecords(0, 2048));
    pending = {std::string(15, ' '), kind(sim::DeviceKind::NothingAttached)};
    run("A3012B3012.upd", file);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.lastText() + host.lastCaption(), "Read/write error - code2!");
    EXPECT_EQ(host.progress.back()[0], host.progress.back()[1]);  // the display is ended

    pending.second = nullptr;
    rig.controllerConfig().kind = sim::DeviceKind::ThisController;
    host.progress.clear();
    run("A3012B3012.upd", file);
    EXPECT_EQ(rig.flash().byteAt(2047), std::uint8_t(2047 * 37 + 11));
    // Records done of the total with the time left, "Update laeuft" and blanks taking turns.
    EXPECT_EQ(std::pair(host.progress.front()[0], host.progress.front()[1]), std::pair(0, 2048));
    EXPECT_EQ(host.progress.back()[0], 2048);
    EXPECT_GE(std::ranges::count(statusTexts, "Update laeuft"), 2);
}

// The port vanishing k line operations after the bootloader answered, for every k that
// falls inside the reads of setup bytes 32 and 33.
TEST_F(UpdateProcedure, APortLostWhileTheVersionIsReadEndsWithNothingStored) {
    for (std::uint64_t k = 1; k < 100'000; k += 3) {
        SCOPED_TRACE(k);
        Station s;
        s.setControllerVersion(0x2005);  // refused once the bytes are read
        s.pending = {"connected", [k](Station& t) {
                         t.rig.serialConfig().vanishAfterOps =
                             t.rig.serialPorts().operationCount() + k;
                     }};
        s.run("A3012B3012.upd", smallFile);
        if (s.host.lastText() == "Bitte kompatibles Setup-Programm downloaden!") {
            EXPECT_GT(k, 1u);
            break;  // the port outlived the version read
        }
        EXPECT_EQ(s.outcome, ui::Outcome::Failed);
        ASSERT_EQ(s.host.messages.size(), 1u) << s.host.lastText();
        EXPECT_EQ(s.host.lastText() + "|" + s.host.lastCaption(), "Keine Verbindung!|Error");
        EXPECT_EQ(s.controllerVersion, noSetup);
        EXPECT_TRUE(s.rig.pageLog().empty());
    }
}

TEST_F(UpdateProcedure, ALostLockFlagWriteIsToldAndTheUpdateStaysDone) {
    // The port goes during the very last operations: the firmware is in, the lock-flag
    // write cannot read back.
    Station reference;
    reference.run("A3012B3012.upd", smallFile);
    ASSERT_EQ(reference.outcome, ui::Outcome::Done);
    const std::uint64_t total = reference.rig.serialPorts().operationCount();

    rig.serialConfig().vanishAfterOps = total - 2;
    run("A3012B3012.upd", smallFile);
    EXPECT_EQ(outcome, ui::Outcome::Done);
    EXPECT_FALSE(rig.pageLog().empty());
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.lastText() + "|" + host.lastCaption(), "Schreibfehler!|Error!");
    EXPECT_NE(host.messages.back().detail.find("RC setup"), std::string::npos)
        << host.messages.back().detail;
    EXPECT_EQ(controllerVersion, noSetup);
}

}  // namespace
