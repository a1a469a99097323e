// Commands through the real dialog procedures on the virtual controller: "Lesen",
// "Schreiben", a refused entry, the sub-dialogs, the progress window, a port that does not
// exist, End and Enter, the language, and what a busy command lets through.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "resources/lock_functions_dialog.h"
#include "resources/main_dialog_ids.h"
#include "resources/rpm_control_dialog.h"
#include "resources/texts.h"
#include "shell/desktop_start.h"
#include "win32/dialog_window.h"
#include "win32/session.h"
#include "win32/wide_text.h"
#include "win32/win32_rig.h"

namespace win32::testing {
namespace {

// A click as the mouse sends it, queued.
void postClick(HWND dialog, ui::ControlId id) {
    PostMessageW(GetDlgItem(dialog, id), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageW(GetDlgItem(dialog, id), WM_LBUTTONUP, 0, 0);
}

HWND readSettings(Win32Rig& rig) {
    HWND dialog = rig.start();
    click(dialog, ids::ReadButton);
    EXPECT_TRUE(rig.boxes.boxes.empty()) << rig.boxes.boxes.front().texts.front();
    return dialog;
}

TEST(Win32Commands, ReadFillsTheFieldsAWriteStoresWhatWasTypedAndTheCloseBoxEnds) {
    Win32Rig rig;
    HWND dialog = readSettings(rig);
    const ui::Dialog& model = rig.app.mainDialog();
    EXPECT_EQ(controlText(dialog, ids::StatusField), "OK");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, ids::WriteButton)));
    for (ui::ControlId id : {ids::VersionField, ids::FullThrottleField, ids::NeutralField,
                             ids::StopField, ids::StartPowerField, ids::TimingList}) {
        EXPECT_FALSE(controlText(dialog, id).empty()) << id;
        EXPECT_EQ(controlText(dialog, id), model.text(id)) << id;
    }
    EXPECT_EQ(SendDlgItemMessageW(dialog, ids::TimingList, CB_GETCURSEL, 0, 0),
              model.selection(ids::TimingList));
    EXPECT_EQ(IsDlgButtonChecked(dialog, ids::ToleranceMediumRadio), BST_CHECKED);
    saveScreenshot(dialog, "win32_main_dialog.bmp");

    // A refused entry shows the system's box; a write then takes what was typed.
    type(dialog, ids::StartPowerField, L"1x7");  // digits only: the letter is refused
    EXPECT_EQ(controlText(dialog, ids::StartPowerField), "17");
    type(dialog, ids::ControlSpeedField, L"0");
    click(dialog, ids::WriteButton);
    ASSERT_EQ(rig.boxes.boxes.size(), 1u);
    const Box& refused = rig.boxes.boxes[0];
    EXPECT_EQ(refused.caption, "Error!");
    EXPECT_TRUE(refused.shows("Softanlauf 1 - 50!"));
    EXPECT_FALSE(refused.taskDialog);
    EXPECT_EQ(refused.owner, dialog);

    type(dialog, ids::ControlSpeedField, L"12");
    // The other auto radio of the run is cleared by the system, nothing else.
    click(dialog, ids::ToleranceHighRadio);
    EXPECT_EQ(IsDlgButtonChecked(dialog, ids::ToleranceMediumRadio), BST_UNCHECKED);
    click(dialog, ids::WriteButton);
    EXPECT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_EQ(rig.app.mainDialog().text(ids::StartPowerField), "17");
    EXPECT_TRUE(rig.app.mainDialog().checked(ids::ToleranceHighRadio));

    // Enter does not end the main dialog; the close box runs the End sequence.
    SetFocus(GetDlgItem(dialog, ids::FullThrottleField));
    MSG enter{dialog, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    IsDialogMessageW(dialog, &enter);
    EXPECT_FALSE(rig.app.ended());
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(rig.app.ended());
    EXPECT_FALSE(IsWindowVisible(dialog));
}

// A sub-dialog is modal to the main window, runs its own commands and ends on Esc and
// on its close box.
TEST(Win32Commands, ASubDialogIsModalAndEndsOnEscOrItsCloseBox) {
    Win32Rig rig;
    HWND dialog = readSettings(rig);
    for (const bool esc : {true, false}) {
        SCOPED_TRACE(esc ? "lock functions, Esc" : "rpm control, close box");
        bool seen = false;
        whenShown(rig.host, [&](DialogWindow& top) {
            seen = true;
            HWND sub = top.hwnd();
            EXPECT_EQ(top.dialog().id(), esc ? lock_ids::Dialog : rpm_ids::Dialog);
            EXPECT_EQ(GetWindow(sub, GW_OWNER), dialog);
            EXPECT_FALSE(IsWindowEnabled(dialog));
            saveScreenshot(sub, esc ? "win32_lock_functions.bmp" : "win32_rpm_control.bmp");
            if (esc) {
                EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sub, lock_ids::WriteButton)));
                click(sub, lock_ids::ReadButton);
                EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sub, lock_ids::WriteButton)));
                PostMessageW(sub, WM_KEYDOWN, VK_ESCAPE, 0);
            } else {
                SendMessageW(sub, WM_CLOSE, 0, 0);
            }
        });
        esc ? menuCommand(dialog, ids::LockFunctionsItem) : click(dialog, ids::RpmSettingsButton);
        EXPECT_TRUE(seen);
        EXPECT_TRUE(IsWindowEnabled(dialog));
        EXPECT_EQ(rig.host.windows().back()->hwnd(), dialog);
    }
    EXPECT_FALSE(rig.app.ended());
    EXPECT_TRUE(rig.boxes.boxes.empty()) << rig.boxes.boxes.front().caption;
}

TEST(Win32Commands, ABusyLoopShowsItsProgressTakesEscAsAStopAndDropsOtherInput) {
    Win32Rig rig;
    HWND dialog = rig.start();
    rig.host.showProgress(5, 10, 3);
    HWND progress = rig.host.progressWindow();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(windowText(progress), texts::ProgramCaption);
    EXPECT_EQ(controlText(progress, 100), "5 von 10, noch 3 s");
    rig.host.showProgress(7, 10, -1);
    EXPECT_EQ(controlText(progress, 100), "7 von 10");
    rig.host.showProgress(10, 10, 0);
    EXPECT_EQ(rig.host.progressWindow(), nullptr);
    EXPECT_FALSE(IsWindow(progress));
    EXPECT_TRUE(rig.boxes.boxes.empty());

    postClick(dialog, ids::ReadButton);
    PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(30);
    EXPECT_TRUE(rig.host.stopRequested(rig.app.mainDialog()));
    settle();
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_MOUSELAST, PM_NOREMOVE));
    EXPECT_EQ(controlText(dialog, ids::StatusField), "");
    EXPECT_FALSE(rig.app.ended());
    Sleep(30);
    EXPECT_FALSE(rig.host.stopRequested(rig.app.mainDialog()));
}

TEST(Win32Commands, APortThatDoesNotExistShowsTheSystemsReasonAsDetail) {
    Win32Rig rig(true);
    adapter::DiscoveredPort missing;
    missing.name = "COM99";
    rig.ports = {missing};
    HWND dialog = rig.start();
    menuCommand(dialog, ids::FirstFoundPortItem);
    ASSERT_EQ(rig.boxes.boxes.size(), 1u);
    const Box& box = rig.boxes.boxes[0];
    EXPECT_EQ(box.caption, "Error");
    EXPECT_TRUE(box.taskDialog);
    EXPECT_EQ(box.owner, dialog);
    EXPECT_TRUE(box.shows(texts::ComInitError));
    EXPECT_NE(box.allTexts().find("CreateFileW"), std::string::npos) << box.allTexts();
}

TEST(Win32Commands, TheLanguageItemShowsTheWindowAndItsBoxesInEnglish) {
    Win32Rig rig;
    HWND dialog = rig.start();
    menuCommand(dialog, ids::LanguageItem);
    EXPECT_EQ(windowText(dialog), "ZEK - Micro  Setup ");
    EXPECT_EQ(controlText(dialog, ids::ReadButton), "Read");
    wchar_t popup[64] = {};
    GetMenuStringW(GetMenu(dialog), 0, popup, 64, MF_BYPOSITION);
    EXPECT_EQ(narrow(popup), "File");
    // The model keeps the system's texts; what the user reads, picks and is told is English.
    EXPECT_EQ(rig.app.mainDialog().text(ids::ReadButton), "Lesen");
    menuCommand(dialog, ids::LockFunctionsItem);
    ASSERT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_TRUE(rig.boxes.boxes[0].shows("Read the values first!"));
    click(dialog, ids::ReadButton);
    SendDlgItemMessageW(dialog, ids::BrakeList, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(controlText(dialog, ids::BrakeList), "hard");
    click(dialog, ids::WriteButton);
    EXPECT_EQ(rig.app.mainDialog().text(ids::BrakeList), "hart");
    EXPECT_EQ(rig.boxes.boxes.size(), 1u);
}

// While a command runs its windows answer the system and are painted; clicks wait until
// the command is done.
TEST(Win32Commands, TheKeepAliveAnswersTheSystemAndPaintsButTakesNoInput) {
    Win32Rig rig;
    HWND dialog = rig.start();
    InvalidateRect(dialog, nullptr, TRUE);
    postClick(dialog, ids::ReadButton);
    // Another thread asks as the system's check for hung windows does.
    std::atomic<bool> answered{false};
    std::thread asker([&] {
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
    });
    // Until the question is answered and the window painted: both are the keep-alive's.
    for (int i = 0; i < 500 && (!answered || GetUpdateRect(dialog, nullptr, FALSE)); ++i) {
        rig.host.keepAlive();
        Sleep(10);
    }
    asker.join();
    EXPECT_TRUE(answered);
    RECT dirty;
    EXPECT_FALSE(GetUpdateRect(dialog, &dirty, FALSE));
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_LBUTTONDOWN, WM_LBUTTONUP, PM_NOREMOVE));
    EXPECT_EQ(controlText(dialog, ids::StatusField), "");
}

// Start-up with the shared options: the virtual controller, the configuration in the
// user's roaming folder, the language remembered there.
TEST(Win32Session, StartsWithTheSharedOptions) {
    testing_support::TempDirectory roaming;
    const std::filesystem::path folder = std::filesystem::path(roaming.path()) / "zek-setup";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "zek-setup-language.ini") << "lang=en\n";
    _wputenv_s(L"APPDATA", widen(roaming.path()).c_str());
    std::string error;
    const std::optional<shell::StartOptions> options =
        shell::parseDesktopOptions({"zek-setup", "--simulate", "--user-dir"}, error);
    ASSERT_TRUE(options) << error;
    std::ostringstream errors;
    // Whatever box start-up shows is caught (the main window is not up yet).
    const Win32Host none;
    BoxCatcher boxes(none);
    Session session(*options, shell::RealPorts{}, errors,
                    [] { return std::vector<adapter::DiscoveredPort>{}; });
    EXPECT_EQ(std::filesystem::path(session.startDirectory()), folder);
    EXPECT_TRUE(session.app().virtualControllerSelected());
    EXPECT_EQ(session.host().language(), lang::Language::English);
    EXPECT_EQ(errors.str(), "");
    EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
}  // namespace win32::testing
