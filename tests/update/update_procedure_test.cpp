// "Update-Datei öffnen" end to end against the virtual controller's bootloader.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>

#include "config/temp_directory.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "sim/test_rig.h"
#include "update/update.h"
#include "update/update_file_builder.h"

namespace {

using namespace std::string_literals;
using testing_support::consecutiveRecords;
using testing_support::plainUpdateFile;
using testing_support::recordText;
using testing_support::scrambledUpdateFile;
using Kind = sim::PageLogEntry::Kind;
using PageLog = std::vector<std::pair<Kind, int>>;

constexpr std::int32_t noSetup = 0xFFFF;
constexpr const char* startQuestion = "Update starten?";
constexpr const char* noSetupQuestion =
    "Kompatibilität nicht überprüfbar, da kein RC-Setup gemacht wurde.\n"
    "Es wird dringend empfohlen ein Setup zu machen.\n"
    "Update trotzdem ohne Setup starten?";
const std::string smallFile = plainUpdateFile(consecutiveRecords(0, 3));

std::uint8_t pattern(std::uint32_t i) {
    return static_cast<std::uint8_t>((i * 37 + 11) & 0xFF);
}

std::vector<std::string> concat(std::vector<std::string> first,
                                const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

PageLog selectedAndCommitted(std::initializer_list<int> pages) {
    PageLog log;
    for (const int page : pages) {
        log.insert(log.end(), {{Kind::Select, page}, {Kind::Commit, page}});
    }
    return log;
}

struct ProgressHost : ui::RecordingHost {
    void showProgress(int done, int total, int secondsLeft) override {
        progress.push_back({done, total, secondsLeft});
    }
    std::vector<std::array<int, 3>> progress;  // done, total, seconds left
};

// One program run against one virtual controller, in its own directory.
struct Station {
    explicit Station(int version = 0x3012) {
        dir.write("qvsetup.cfg", "COM2");
        mainDialog.setEnabled(ids::StatusField, false);
        rig.port().startDirectory = dir.path();
        setControllerVersion(version);
        rig.setupMemory()[13] = 0xFE;
        host.onRepaint = [this](ui::Dialog& dialog) {
            statusTexts.push_back(dialog.text(ids::StatusField));
            if (statusTexts.back() == actAtStatus && act) {
                act();
            }
        };
    }
    void setControllerVersion(int version) {
        rig.setupMemory()[32] = static_cast<std::uint8_t>(version >> 8);
        rig.setupMemory()[33] = static_cast<std::uint8_t>(version & 0xFF);
    }
    void offer(const std::string& name, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(dir.file(name)).parent_path());
        dir.write(name, bytes);
        host.files.push_back(dir.file(name));
    }
    void run(const std::string& name, const std::string& bytes) {
        offer(name, bytes);
        update::runUpdate(ctx);
    }
    void whenStatusShows(std::string text, std::function<void()> action) {
        actAtStatus = std::move(text);
        act = std::move(action);
    }
    bool flashUntouched() {
        const auto& bytes = rig.flash().bytes();
        return rig.pageLog().empty() &&
               std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0xFF; });
    }
    PageLog pages() {
        PageLog log;
        for (const sim::PageLogEntry& entry : rig.pageLog()) {
            log.emplace_back(entry.kind, entry.page);
        }
        return log;
    }

    testing_support::TempDirectory dir;
    sim::TestRig rig;
    ProgressHost host;
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    adapter::LinkContext link{rig.port(),  rig.linkState(),   rig.messageText(),
                              rig.clock(), rig.serialPorts(), rig.portIo(),
                              host,        &mainDialog};
    update::UpdateState state;
    std::int32_t controllerVersion = 50000;
    update::UpdateContext ctx{link, state, controllerVersion};
    std::vector<std::string> statusTexts;
    std::string actAtStatus;
    std::function<void()> act;
};

class UpdateProcedure : public ::testing::Test, public Station {};

TEST_F(UpdateProcedure, BothFormsProgramPagesInFileOrder) {
    // Pages 0 and 1, page 1 again right away (not reselected), page 0 once more, the last page.
    std::vector<std::string> records = consecutiveRecords(0x0000, 0x80);
    for (int i = 0; i < 8; ++i) {
        records.push_back(recordText(0x40 + i, static_cast<std::uint8_t>(0xA0 + i)));
    }
    for (int i = 0; i < 4; ++i) {
        records.push_back(recordText(i, static_cast<std::uint8_t>(0x50 + i)));
    }
    records = concat(records, consecutiveRecords(0x3FC0, 0x40));
    // A page committed again holds only the bytes loaded since it was selected again.
    std::vector<std::uint8_t> expected(0x4000, 0xFF);
    for (std::uint32_t address = 0; address < 0x80; ++address) {
        expected[address] = address < 4      ? 0x50 + address
                            : address < 0x40 ? 0xFF
                            : address < 0x48 ? 0xA0 + address - 0x40
                                             : pattern(address);
    }
    for (std::uint32_t i = 0; i < 0x40; ++i) {
        expected[0x3FC0 + i] = pattern(i);
    }
    const std::pair<update::UpdateForm, std::string> forms[] = {
        {update::UpdateForm::Plain, plainUpdateFile(records, "\r\n")},
        {update::UpdateForm::Scrambled, scrambledUpdateFile(records)}};
    for (const auto& [form, file] : forms) {
        SCOPED_TRACE(static_cast<int>(form));
        Station s;
        s.run("A3010B3012.upd", file);
        EXPECT_EQ(s.state.form, form);
        EXPECT_EQ(s.pages(), selectedAndCommitted({0, 1, 0, 255}));
        const auto& flash = s.rig.flash().bytes();
        EXPECT_EQ(std::vector<std::uint8_t>(flash.begin(), flash.end()), expected);

        ASSERT_EQ(s.host.messages.size(), 1u);
        EXPECT_EQ(s.host.lastText(), startQuestion);
        EXPECT_EQ(s.host.lastCaption(), "Warning!");
        EXPECT_EQ(s.host.messages.back().ownerId, 0);
        EXPECT_EQ(s.host.messages.back().buttons, ui::Buttons::OkCancel);
        EXPECT_EQ(s.host.beeps, 1);
        EXPECT_EQ(s.mainDialog.text(ids::StatusField), "OK");
        EXPECT_FALSE(s.mainDialog.enabled(ids::StatusField));
        EXPECT_EQ(s.rig.setupMemory()[13], 0xFF);  // the RC setup is allowed again
        EXPECT_EQ(s.controllerVersion, noSetup);
        EXPECT_EQ(s.state.updateFileName, "A3010B3012.upd");
        const std::vector<std::string> firstStatus = {
            " ", "A3010B3012.upd", "connecting....", "connected", "connected", "Update laeuft"};
        ASSERT_GE(s.statusTexts.size(), firstStatus.size());
        EXPECT_TRUE(std::equal(firstStatus.begin(), firstStatus.end(), s.statusTexts.begin()));
        EXPECT_EQ(s.host.fileRequests.at(0).title, "Open a File");
        EXPECT_EQ(s.host.fileRequests.at(0).filter, "*.upd");
    }
}

TEST_F(UpdateProcedure, CompatibilityWithTheFileName) {
    const struct {
        int version;
        const char* name;
        const char* text;
        const char* caption;
    } cases[] = {
        {0x3012, "A3010B3012.upd", startQuestion, "Warning!"},
        {0x1010, "A3012B1010.upd", startQuestion, "Warning!"},
        {0xFFFF, "anything.upd", noSetupQuestion, "Warning!"},
        {0x3012, "A3010B3011.upd", "Datei nicht kompatibel!", ""},
        {0x3012, "AxyzwB3011.upd", "Datei nicht kompatibel!", ""},
        // ".upd" in a folder name cuts the path there: no readable version.
        {0x3012, "fw.upd-files/A3012B3012.upd", "Datei nicht kompatibel!", ""},
        {0x2005, "A2005B2005.upd", "Bitte kompatibles Setup-Programm downloaden!", "ERROR!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Station s(c.version);
        s.run(c.name, smallFile);
        ASSERT_EQ(s.host.messages.size(), 1u) << s.host.lastText();
        EXPECT_EQ(s.host.messages.front().text, c.text);
        EXPECT_EQ(s.host.messages.front().caption, c.caption);
        const bool asked = std::string(c.caption) == "Warning!";
        EXPECT_EQ(s.flashUntouched(), !asked);
        EXPECT_EQ(s.host.beeps, asked ? 1 : 0);
        if (c.version == 0x3012 && !asked) {
            EXPECT_EQ(s.mainDialog.text(ids::StatusField), " ");
            EXPECT_FALSE(s.mainDialog.enabled(ids::StatusField));
        }
        EXPECT_EQ(s.controllerVersion, c.version == 0x3012 && !asked ? 0x3012 : noSetup);
    }
}

TEST_F(UpdateProcedure, FailuresAndTheirMessages) {
    const std::vector<std::string> good = consecutiveRecords(0, 100);
    std::string badScrambled = scrambledUpdateFile(good);
    badScrambled[400] = static_cast<char>(badScrambled[400] + 1);
    const auto slowCommit = [](Station& s) { s.rig.controllerConfig().pageCommitNs = 80'000'000; };
    const auto setKindAt = [](const char* status, sim::DeviceKind kind) {
        return [=](Station& s) {
            s.whenStatusShows(status, [&s, kind] { s.rig.controllerConfig().kind = kind; });
        };
    };
    const struct {
        const char* text;
        const char* caption;
        bool ownedByMain;
        std::string file;  // offered as A3012B3012.upd when not empty
        std::function<void(Station&)> arrange = nullptr;
        const char* status = " ";  // nullptr: not checked
        std::size_t boxes = 1;     // 2: the start question came first and programming began
    } cases[] = {
        // Refused before the port is opened.
        {"  PORT ?", "ERROR!", false, "", [](Station& s) { s.rig.selectParallel(); }, nullptr},
        {"open error!", "", false, "",
         [](Station& s) { s.host.files.push_back(s.dir.file("missing.upd")); }, nullptr},
        {"Open Error!", "Error", true, "",
         [](Station& s) { s.offer("A3012B3012.bin", smallFile); }},
        // The connection.
        {"No Adaptor found at COM2\n", "Error", true, smallFile,
         [](Station& s) { s.rig.serialConfig().loopBack = sim::LoopBack::Missing; }, nullptr},
        {"Keine Verbindung!", "Error", true, smallFile,
         [](Station& s) { s.rig.controllerConfig().kind = sim::DeviceKind::NothingAttached; }},
        {"angeschlossenes Gerät ist kein ZEK-Micro!", "ERROR!", false, smallFile,
         setKindAt("connecting....", sim::DeviceKind::OtherKind), "connecting...."},
        {"No connection!", "Error", true, smallFile,
         setKindAt("connecting....", sim::DeviceKind::NothingAttached)},
        // The file, read and checked whole before the first page; bad records come last.
        {"file error 1!", "", false, smallFile,
         [](Station& s) {
             s.whenStatusShows("connected",
                               [&s] { std::filesystem::remove(s.dir.file("A3012B3012.upd")); });
         }},
        {"file error 4!", "", false, "\377\377\377\377:\377\377\377"},
        {"file error 5!", "", false, plainUpdateFile(concat(good, {"0100"}))},
        {"file error 6!", "Error", true, plainUpdateFile(concat(good, {"0100:00"}))},
        {"file error 7: address 4000 or above!", "", false,
         plainUpdateFile(concat(good, {"4000:0011"}))},
        // Checked even when the controller has no setup to compare with.
        {"wrong file!", "ERROR:", false, badScrambled,
         [](Station& s) { s.setControllerVersion(noSetup); }},
        {startQuestion, "Warning!", false, smallFile,
         [](Station& s) { s.host.answers.push_back(ui::Answer::Cancel); }},
        // A bootloader slower than the commit wait confirms nothing.
        {"Read/write error - code1!", "", false, plainUpdateFile(good), slowCommit, " ", 2},
        {"Read/write error!", "", false, plainUpdateFile(consecutiveRecords(0, 10)), slowCommit,
         " ", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Station s;
        if (c.arrange) {
            c.arrange(s);
        }
        if (!c.file.empty()) {
            s.offer("A3012B3012.upd", c.file);
        }
        update::runUpdate(s.ctx);
        ASSERT_EQ(s.host.messages.size(), c.boxes) << s.host.lastText();
        EXPECT_EQ(s.host.lastText(), c.text);
        EXPECT_EQ(s.host.lastCaption(), c.caption);
        EXPECT_EQ(s.host.messages.back().ownerId, c.ownedByMain ? s.mainDialog.id() : 0);
        if (c.status) {
            EXPECT_EQ(s.mainDialog.text(ids::StatusField), c.status);
        }
        EXPECT_EQ(s.mainDialog.enabled(ids::StatusField), c.status && c.status != " "s);
        EXPECT_EQ(s.flashUntouched(), c.boxes == 1);
        EXPECT_EQ(s.host.beeps, 0);
        if (c.file.empty()) {
            EXPECT_EQ(s.rig.serialPorts().openCount(), 0);
        }
    }
}

TEST_F(UpdateProcedure, NoFileChosenChangesNothing) {
    update::runUpdate(ctx);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.fileRequests.size(), 1u);
    EXPECT_TRUE(flashUntouched());
}

TEST_F(UpdateProcedure, BootloaderStopsHalfwayAndARepeatSucceedsWithProgress) {
    const std::string file = plainUpdateFile(consecutiveRecords(0, 2048));
    whenStatusShows(std::string(15, ' '),
                    [this] { rig.controllerConfig().kind = sim::DeviceKind::NothingAttached; });
    run("A3012B3012.upd", file);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.lastText(), "Read/write error - code2!");
    EXPECT_EQ(host.lastCaption(), "");
    EXPECT_EQ(mainDialog.text(ids::StatusField), " ");
    EXPECT_FALSE(mainDialog.enabled(ids::StatusField));
    EXPECT_FALSE(rig.pageLog().empty());
    EXPECT_EQ(host.progress.back()[0], host.progress.back()[1]);  // the display is ended

    act = nullptr;
    rig.controllerConfig().kind = sim::DeviceKind::ThisController;
    host.progress.clear();
    statusTexts.clear();
    run("A3012B3012.upd", file);
    EXPECT_EQ(host.beeps, 1);
    for (std::uint32_t address = 0; address < 2048; ++address) {
        ASSERT_EQ(rig.flash().byteAt(address), pattern(address)) << address;
    }
    // Records done of the total with the time left; "Update laeuft" and 15 blanks take turns.
    ASSERT_GE(host.progress.size(), 3u);
    EXPECT_EQ(host.progress.front()[0], 0);
    EXPECT_EQ(host.progress.front()[1], 2048);
    EXPECT_EQ(host.progress.back()[0], 2048);
    for (std::size_t i = 1; i + 1 < host.progress.size(); ++i) {
        EXPECT_GT(host.progress[i][0], host.progress[i - 1][0]);
        EXPECT_GE(host.progress[i][2], 0);
    }
    EXPECT_GE(std::count(statusTexts.begin(), statusTexts.end(), "Update laeuft"), 2);
    EXPECT_GE(std::count(statusTexts.begin(), statusTexts.end(), std::string(15, ' ')), 1);
}

TEST_F(UpdateProcedure, ChosenPathIsRecordedUnlessTooLong) {
    const std::string motorFields = " 4\0\0002.50"s;
    dir.write("qvsetup.cfg", "COM2" + std::string(252, '\0') + motorFields);
    run("A3012B3012.upd", smallFile);
    const std::string path = dir.file("A3012B3012.upd");
    EXPECT_EQ(dir.read("qvsetup.cfg"),
              "COM2" + std::string(26, '\0') + "\r\n" + path + '\0' + std::string(20, ' ') +
                  std::string(256 - 32 - path.size() - 21, '\0') + motorFields);
    EXPECT_EQ(host.beeps, 1);

    // Longer than the path block may be, short enough for ".upd" to be found.
    Station s;
    const std::string config = "COM2" + std::string(252, '\0') + " 2";
    s.dir.write("qvsetup.cfg", config);
    const std::string folder = std::string(80, 'f') + "/" + std::string(80, 'g');
    s.run(folder + "/A3012B3012.upd", smallFile);
    EXPECT_EQ(s.host.beeps, 1);
    EXPECT_EQ(s.dir.read("qvsetup.cfg"), config);
}

}  // namespace
