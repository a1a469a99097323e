// "Update-Datei öffnen" end to end against the virtual controller's bootloader.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <tuple>

#include "config/temp_directory.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "sim/test_rig.h"
#include "update/update.h"
#include "update/update_file_builder.h"

namespace {

using testing_support::consecutiveRecords;
using testing_support::plainUpdateFile;
using testing_support::recordText;
using testing_support::scrambledUpdateFile;
using Kind = sim::PageLogEntry::Kind;

constexpr std::int32_t noSetup = 0xFFFF;
constexpr const char* startQuestion = "Update starten?";
constexpr const char* noSetupQuestion =
    "Kompatibilität nicht überprüfbar, da kein RC-Setup gemacht wurde.\n"
    "Es wird dringend empfohlen ein Setup zu machen.\n"
    "Update trotzdem ohne Setup starten?";

struct ProgressCall {
    int done;
    int total;
    int secondsLeft;
};

class ProgressHost : public ui::RecordingHost {
  public:
    void showProgress(int done, int total, int secondsLeft) override {
        progress.push_back({done, total, secondsLeft});
    }
    std::vector<ProgressCall> progress;
};

// One program run against one virtual controller, with its update file in dir.
struct Station {
    explicit Station(const testing_support::TempDirectory& directory, int version = 0x3012)
        : dir(directory) {
        mainDialog.setEnabled(ids::StatusField, false);
        rig.port().startDirectory = dir.path();
        setControllerVersion(version);
        rig.setupMemory()[13] = 0xFE;
    }
    void setControllerVersion(int version) {
        rig.setupMemory()[32] = static_cast<std::uint8_t>(version >> 8);
        rig.setupMemory()[33] = static_cast<std::uint8_t>(version & 0xFF);
    }
    void offer(const std::string& name, const std::string& bytes) {
        dir.write(name, bytes);
        host.files.push_back(dir.file(name));
    }
    void run() { update::runUpdate(ctx); }

    const testing_support::TempDirectory& dir;
    sim::TestRig rig;
    ProgressHost host;
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    adapter::LinkContext link{rig.port(),  rig.linkState(),   rig.messageText(),
                              rig.clock(), rig.serialPorts(), rig.portIo(),
                              host,        &mainDialog};
    update::UpdateState state;
    std::int32_t controllerVersion = 50000;
    update::UpdateContext ctx{link, state, controllerVersion};
};

class UpdateProcedure : public ::testing::Test {
  protected:
    UpdateProcedure() {
        dir.write("qvsetup.cfg", "COM2");
        host.onRepaint = [this](ui::Dialog& dialog) {
            statusTexts.push_back(dialog.text(ids::StatusField));
            if (onStatus) {
                onStatus(dialog.text(ids::StatusField));
            }
        };
    }

    void setControllerVersion(int version) { station.setControllerVersion(version); }
    void offer(const std::string& name, const std::string& bytes) { station.offer(name, bytes); }
    void run() { station.run(); }

    bool flashUntouched() {
        const auto& bytes = rig.flash().bytes();
        return rig.pageLog().empty() &&
               std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0xFF; });
    }
    std::vector<std::pair<Kind, int>> pages() {
        std::vector<std::pair<Kind, int>> log;
        for (const sim::PageLogEntry& entry : rig.pageLog()) {
            log.emplace_back(entry.kind, entry.page);
        }
        return log;
    }
    // The only box is the one given.
    void expectOnlyBox(const std::string& text, const std::string& caption, int ownerId = 0) {
        ASSERT_EQ(host.messages.size(), 1u) << host.lastText();
        EXPECT_EQ(host.lastText(), text);
        EXPECT_EQ(host.lastCaption(), caption);
        EXPECT_EQ(host.messages.back().ownerId, ownerId);
    }
    // A refusal after the confirmation question would have come.
    void expectRefusedWith(const std::string& text, const std::string& caption, int ownerId = 0) {
        expectOnlyBox(text, caption, ownerId);
        EXPECT_TRUE(flashUntouched());
        EXPECT_EQ(mainDialog.text(ids::StatusField), " ");
        EXPECT_FALSE(mainDialog.enabled(ids::StatusField));
    }

    testing_support::TempDirectory dir;
    Station station{dir};
    sim::TestRig& rig = station.rig;
    ProgressHost& host = station.host;
    ui::Dialog& mainDialog = station.mainDialog;
    update::UpdateState& state = station.state;
    std::int32_t& controllerVersion = station.controllerVersion;
    std::vector<std::string> statusTexts;
    std::function<void(const std::string&)> onStatus;
};

std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

TEST_F(UpdateProcedure, PlainFileProgramsPagesInFileOrder) {
    // Pages 0 and 1, page 1 again right away (not reselected), then page 0 once more.
    std::vector<std::string> records = consecutiveRecords(0x0000, 0x80);
    for (int i = 0; i < 8; ++i) {
        records.push_back(recordText(0x40 + i, static_cast<std::uint8_t>(0xA0 + i)));
    }
    for (int i = 0; i < 4; ++i) {
        records.push_back(recordText(i, static_cast<std::uint8_t>(0x50 + i)));
    }
    offer("A3010B3012.upd", plainUpdateFile(records, "\r\n"));
    run();

    EXPECT_EQ(pages(), (std::vector<std::pair<Kind, int>>{{Kind::Select, 0},
                                                          {Kind::Commit, 0},
                                                          {Kind::Select, 1},
                                                          {Kind::Commit, 1},
                                                          {Kind::Select, 0},
                                                          {Kind::Commit, 0}}));
    for (std::uint32_t address = 0; address < 0x100; ++address) {
        std::uint8_t expected = 0xFF;
        if (address < 4) {
            expected = static_cast<std::uint8_t>(0x50 + address);
        } else if (address >= 0x40 && address < 0x48) {
            expected = static_cast<std::uint8_t>(0xA0 + address - 0x40);
        } else if (address >= 0x48 && address < 0x80) {
            expected = static_cast<std::uint8_t>((address * 37 + 11) & 0xFF);
        }
        EXPECT_EQ(rig.flash().byteAt(address), expected) << address;
    }

    expectOnlyBox(startQuestion, "Warning!");
    EXPECT_EQ(host.messages.back().buttons, ui::Buttons::OkCancel);
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(mainDialog.text(ids::StatusField), "OK");
    EXPECT_FALSE(mainDialog.enabled(ids::StatusField));
    EXPECT_EQ(rig.setupMemory()[13], 0xFF);  // the RC setup is allowed again
    EXPECT_EQ(controllerVersion, noSetup);
    EXPECT_EQ(state.updateFileName, "A3010B3012.upd");
    EXPECT_EQ(state.form, update::UpdateForm::Plain);

    const std::vector<std::string> expectedStatus = {
        " ", "A3010B3012.upd", "connecting....", "connected", "connected", "Update laeuft"};
    ASSERT_GE(statusTexts.size(), expectedStatus.size());
    EXPECT_EQ(
        std::vector<std::string>(statusTexts.begin(), statusTexts.begin() + expectedStatus.size()),
        expectedStatus);
    EXPECT_EQ(host.fileRequests.at(0).title, "Open a File");
    EXPECT_EQ(host.fileRequests.at(0).filter, "*.upd");
}

TEST_F(UpdateProcedure, ScrambledAndPlainFormsProgramTheSameFlash) {
    const std::vector<std::string> records =
        concat({consecutiveRecords(0x0FC0, 0x50), consecutiveRecords(0x3FC0, 0x40)});
    offer("A3012B0000.upd", scrambledUpdateFile(records));
    run();
    EXPECT_EQ(state.form, update::UpdateForm::Scrambled);
    EXPECT_EQ(pages(), (std::vector<std::pair<Kind, int>>{{Kind::Select, 63},
                                                          {Kind::Commit, 63},
                                                          {Kind::Select, 64},
                                                          {Kind::Commit, 64},
                                                          {Kind::Select, 255},
                                                          {Kind::Commit, 255}}));

    Station plain(dir);
    plain.offer("A3012B0000p.upd", plainUpdateFile(records));
    plain.run();

    EXPECT_EQ(plain.rig.flash().bytes(), rig.flash().bytes());
    EXPECT_EQ(rig.flash().byteAt(0x0FC0), 11);
    EXPECT_EQ(rig.flash().byteAt(0x3FFF), static_cast<std::uint8_t>((0x3F * 37 + 11) & 0xFF));
}

TEST_F(UpdateProcedure, OnePageNeedsOneSelectAndOneCommit) {
    offer("A3012B0000.upd", plainUpdateFile(consecutiveRecords(0x0100, 64)));
    run();
    EXPECT_EQ(pages(), (std::vector<std::pair<Kind, int>>{{Kind::Select, 4}, {Kind::Commit, 4}}));
}

TEST_F(UpdateProcedure, ProgressReportsRecordsAndTimeLeftAndBlinks) {
    const std::vector<std::string> records = consecutiveRecords(0x0000, 2048);
    offer("A3012B0000.upd", plainUpdateFile(records));
    run();
    ASSERT_EQ(host.beeps, 1);
    ASSERT_GE(host.progress.size(), 3u);
    EXPECT_EQ(host.progress.front().done, 0);
    EXPECT_EQ(host.progress.front().total, 2048);
    EXPECT_EQ(host.progress.back().done, 2048);
    for (std::size_t i = 1; i + 1 < host.progress.size(); ++i) {
        EXPECT_GT(host.progress[i].done, host.progress[i - 1].done);
        EXPECT_GE(host.progress[i].secondsLeft, 0);
    }
    // The running word blinks: "Update laeuft" and 15 blanks take turns.
    const auto running = std::count(statusTexts.begin(), statusTexts.end(), "Update laeuft");
    const auto blank = std::count(statusTexts.begin(), statusTexts.end(), std::string(15, ' '));
    EXPECT_GE(running, 2);
    EXPECT_GE(blank, 1);
}

TEST_F(UpdateProcedure, CompatibilityWithTheFileName) {
    struct Case {
        int version;
        const char* name;
        bool programs;
        const char* text;
        const char* caption;
    };
    const Case cases[] = {
        {0x3012, "A3010B3012.upd", true, startQuestion, "Warning!"},
        {0x1010, "A3012B1010.upd", true, startQuestion, "Warning!"},
        {0x3012, "A3010B3011.upd", false, "Datei nicht kompatibel!", ""},
        {0x3012, "AxyzwB3011.upd", false, "Datei nicht kompatibel!", ""},
        {0x2005, "A2005B2005.upd", false, "Bitte kompatibles Setup-Programm downloaden!", "ERROR!"},
        {0xFFFF, "anything.upd", true, noSetupQuestion, "Warning!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Station station(dir, c.version);
        station.offer(c.name, plainUpdateFile(consecutiveRecords(0, 3)));
        station.run();

        ASSERT_FALSE(station.host.messages.empty());
        EXPECT_EQ(station.host.messages.front().text, c.text);
        EXPECT_EQ(station.host.messages.front().caption, c.caption);
        EXPECT_EQ(station.rig.pageLog().empty(), !c.programs);
        if (c.version == 0x2005) {
            EXPECT_EQ(station.controllerVersion, noSetup);
        }
    }
}

TEST_F(UpdateProcedure, WithoutSetupTheFileIsStillChecked) {
    setControllerVersion(0xFFFF);
    std::string file = scrambledUpdateFile(consecutiveRecords(0, 10));
    file[170] = static_cast<char>(file[170] ^ 0x01);
    offer("x.upd", file);
    run();
    expectRefusedWith("wrong file!", "ERROR:");
}

TEST_F(UpdateProcedure, FilesRefusedBeforeTheControllerIsTouched) {
    const std::vector<std::string> good = consecutiveRecords(0, 100);
    std::string badScrambled = scrambledUpdateFile(good);
    badScrambled[400] = static_cast<char>(badScrambled[400] + 1);
    // Each bad record comes after good records of earlier pages.
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {plainUpdateFile(concat({good, {"0100:00"}})), "file error 6!", "Error"},
        {plainUpdateFile(concat({good, {"0100"}})), "file error 5!", ""},
        {plainUpdateFile(concat({good, {""}, good})), "file error 5!", ""},
        {plainUpdateFile(concat({good, {"0fc3:0017"}})), "file error 6!", "Error"},
        {std::string("\xFF\xFF\xFF\xFF:\xFF\xFF\xFF"), "file error 4!", ""},
        {plainUpdateFile(concat({good, {"4000:0011"}})), "file error 7: address 4000 or above!",
         ""},
        {badScrambled, "wrong file!", "ERROR:"},
        {scrambledUpdateFile({}), "file error 4!", ""},
    };
    for (const auto& [bytes, text, caption] : cases) {
        SCOPED_TRACE(text);
        host.messages.clear();
        host.answers.clear();
        offer("A3012B3012.upd", bytes);
        run();
        ASSERT_EQ(host.messages.size(), 1u) << host.lastText();
        EXPECT_EQ(host.lastText(), text);
        EXPECT_EQ(host.lastCaption(), caption);
        // errorTail's box is owned by the main dialog, the others have no owner.
        EXPECT_EQ(host.messages.back().ownerId, caption == "Error" ? mainDialog.id() : 0);
        EXPECT_TRUE(flashUntouched());
        EXPECT_EQ(mainDialog.text(ids::StatusField), " ");
        EXPECT_FALSE(mainDialog.enabled(ids::StatusField));
    }
}

TEST_F(UpdateProcedure, ParallelPortIsRefusedBeforeTheFileDialog) {
    rig.selectParallel();
    run();
    expectOnlyBox("  PORT ?", "ERROR!");
    EXPECT_TRUE(host.fileRequests.empty());
}

TEST_F(UpdateProcedure, CancelledDialogsChangeNothing) {
    run();  // no file chosen
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.fileRequests.size(), 1u);

    offer("A3012B3012.upd", plainUpdateFile(consecutiveRecords(0, 3)));
    host.answers.push_back(ui::Answer::Cancel);
    run();
    expectRefusedWith(startQuestion, "Warning!");
}

TEST_F(UpdateProcedure, PathProblems) {
    host.files.push_back(dir.file("missing.upd"));
    run();
    expectOnlyBox("open error!", "");

    host.messages.clear();
    offer("A3012B3012.bin", plainUpdateFile(consecutiveRecords(0, 3)));
    run();
    expectRefusedWith("Open Error!", "Error", mainDialog.id());
    EXPECT_TRUE(rig.serialPorts().openCount() == 0);

    // ".upd" inside a folder name cuts the path there: no readable version.
    host.messages.clear();
    std::filesystem::create_directory(dir.file("fw.upd-files"));
    offer("fw.upd-files/A3012B3012.upd", plainUpdateFile(consecutiveRecords(0, 3)));
    run();
    expectRefusedWith("Datei nicht kompatibel!", "");
}

TEST_F(UpdateProcedure, ChosenPathIsRecordedInTheConfigFile) {
    dir.write("qvsetup.cfg", std::string(256, '\0').replace(0, 4, "COM2") + std::string(" 4\0\0"
                                                                                        "2.50",
                                                                                        8));
    offer("A3012B3012.upd", plainUpdateFile(consecutiveRecords(0, 3)));
    run();
    const std::string path = dir.file("A3012B3012.upd");
    const std::string expected = "COM2" + std::string(26, '\0') + "\r\n" + path + '\0' +
                                 std::string(20, ' ') +
                                 std::string(256 - 32 - path.size() - 21, '\0') +
                                 std::string(
                                     " 4\0\0"
                                     "2.50",
                                     8);
    EXPECT_EQ(dir.read("qvsetup.cfg"), expected);
    EXPECT_EQ(host.beeps, 1);
}

TEST_F(UpdateProcedure, PathTooLongToRecordStillUpdates) {
    const std::string config = std::string(256, '\0').replace(0, 4, "COM2") + " 2";
    dir.write("qvsetup.cfg", config);
    // Longer than the path block may be, short enough for ".upd" to be found.
    const std::string folder = std::string(80, 'f') + "/" + std::string(80, 'g');
    std::filesystem::create_directories(dir.file(folder));
    offer(folder + "/A3012B3012.upd", plainUpdateFile(consecutiveRecords(0, 3)));
    ASSERT_GT(host.files.front()->size(), 203u);
    ASSERT_LT(host.files.front()->size(), 250u);
    run();
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(dir.read("qvsetup.cfg"), config);
}

TEST_F(UpdateProcedure, ConnectionFailures) {
    offer("A3012B3012.upd", plainUpdateFile(consecutiveRecords(0, 3)));
    rig.serialConfig().loopBack = sim::LoopBack::Missing;
    run();
    expectOnlyBox("No Adaptor found at COM2\n", "Error", mainDialog.id());
    EXPECT_FALSE(mainDialog.enabled(ids::StatusField));

    host.messages.clear();
    rig.serialConfig().loopBack = sim::LoopBack::FollowsDtr;
    rig.controllerConfig().kind = sim::DeviceKind::NothingAttached;
    offer("A3012B3012.upd", plainUpdateFile(consecutiveRecords(0, 3)));
    run();
    expectRefusedWith("Keine Verbindung!", "Error", mainDialog.id());
    EXPECT_EQ(controllerVersion, noSetup);
}

TEST_F(UpdateProcedure, ControllerChangesWhileConnecting) {
    offer("A3012B3012.upd", plainUpdateFile(consecutiveRecords(0, 3)));
    onStatus = [this](const std::string& text) {
        if (text == "connecting....") {
            rig.controllerConfig().kind = sim::DeviceKind::OtherKind;
        }
    };
    run();
    expectOnlyBox("angeschlossenes Gerät ist kein ZEK-Micro!", "ERROR!");
    EXPECT_EQ(mainDialog.text(ids::StatusField), "connecting....");

    host.messages.clear();
    rig.controllerConfig().kind = sim::DeviceKind::ThisController;
    onStatus = [this](const std::string& text) {
        if (text == "connecting....") {
            rig.controllerConfig().kind = sim::DeviceKind::NothingAttached;
        }
    };
    offer("A3012B3012.upd", plainUpdateFile(consecutiveRecords(0, 3)));
    run();
    expectRefusedWith("No connection!", "Error", mainDialog.id());
}

TEST_F(UpdateProcedure, BootloaderStopsHalfwayAndARepeatSucceeds) {
    const std::vector<std::string> records = consecutiveRecords(0x0000, 2048);
    offer("A3012B3012.upd", plainUpdateFile(records));
    onStatus = [this](const std::string& text) {
        if (text == std::string(15, ' ')) {
            rig.controllerConfig().kind = sim::DeviceKind::NothingAttached;
        }
    };
    run();
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.lastText(), "Read/write error - code2!");
    EXPECT_EQ(host.lastCaption(), "");
    EXPECT_EQ(mainDialog.text(ids::StatusField), " ");
    EXPECT_FALSE(mainDialog.enabled(ids::StatusField));
    EXPECT_EQ(host.progress.back().done, host.progress.back().total);
    EXPECT_FALSE(rig.pageLog().empty());

    onStatus = nullptr;
    rig.controllerConfig().kind = sim::DeviceKind::ThisController;
    rig.pageLog().clear();
    host.messages.clear();
    offer("A3012B3012.upd", plainUpdateFile(records));
    run();
    EXPECT_EQ(host.beeps, 1);
    for (std::uint32_t address = 0; address < records.size(); ++address) {
        ASSERT_EQ(rig.flash().byteAt(address),
                  static_cast<std::uint8_t>((address * 37 + 11) & 0xFF))
            << address;
    }
}

TEST_F(UpdateProcedure, CommitFailures) {
    // A bootloader slower than the commit wait confirms nothing.
    rig.controllerConfig().pageCommitNs = 80'000'000;
    offer("A3012B3012.upd", plainUpdateFile(consecutiveRecords(0, 100)));
    run();
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.lastText(), "Read/write error - code1!");

    host.messages.clear();
    offer("A3012B3012.upd", plainUpdateFile(consecutiveRecords(0, 10)));
    run();
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.lastText(), "Read/write error!");
    EXPECT_EQ(host.lastCaption(), "");
    EXPECT_EQ(host.beeps, 0);
}

TEST_F(UpdateProcedure, FileGoneBeforeTheCheck) {
    offer("A3012B3012.upd", plainUpdateFile(consecutiveRecords(0, 3)));
    onStatus = [this](const std::string& text) {
        if (text == "connected") {
            std::filesystem::remove(dir.file("A3012B3012.upd"));
        }
    };
    run();
    expectRefusedWith("file error 1!", "");
}

}  // namespace
