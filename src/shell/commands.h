// The main dialog's housekeeping commands, which the shell implements itself.
#pragma once

#include <string>
#include <string_view>

#include "diagnostics/port_checks.h"
#include "shell/app.h"

namespace shell {

inline constexpr std::string_view helpDocumentName = "pc-setup-deutsch.pdf";
// The service page's host is a reserved example domain: the tool names no web server
// of its own.
inline constexpr std::string_view servicePageAddress = "https://www.example.org/zek-micro.htm";

// OK (1): ends the dialog at once; nothing is saved and the serial port stays open.
ui::Outcome okCommand(App& app);
// "Ende" (2) and the window's close button: save the port, close the serial port, end.
// Failed when the port could not be saved; the program ends all the same.
ui::Outcome endSequence(App& app);
// What the user is told when qvsetup.cfg takes no port name.
std::string cannotSavePortText(const std::string& configPath);
// COM1 … COM8 (1155 … 1162): select the port and check for the adapter on it; Failed
// when no adapter answers there (the selection stays).
ui::Outcome selectSerialPort(App& app, ui::ControlId id);
// "Virtueller Controller": the virtual controller and its adapter check; Failed when no
// adapter answers.
ui::Outcome selectVirtualControllerItem(App& app);
// The desktop programs: a box that says the chosen serial port failed ("No Adaptor found
// at …", "COM-Init-Error!") carries the port's findings in its detail.
void explainPortFailures(App& app, const diagnostics::CheckOptions& options = {});
// "Port prüfen…": the chosen port's findings (every port's with none chosen) in a box.
ui::Outcome checkChosenPort(App& app, const diagnostics::CheckOptions& options = {});
// Puts the check mark of the "Port" pop-up on item checked alone (on none for noId).
void checkPortItem(ui::Dialog& dialog, ui::ControlId checked);
// "Hilfe-Datei" (1104); Failed when the document is not there.
ui::Outcome openHelpDocument(App& app);
// "Über..." (1151).
ui::Outcome showAbout(App& app);
// The About box's text: author lines, an empty line, "Version: " and the level in "%4X".
std::string aboutText();
// "Internet Serviceseite" (1197).
ui::Outcome openServicePage(App& app);
// "Sprache / Language" (1244): the next language, remembered beside qvsetup.cfg.
ui::Outcome switchLanguage(App& app);

// "Einstellungen sichern…": the settings in the dialog to a file of the user's choice, in
// the format of zek-cli's save-settings.
ui::Outcome saveSettingsToFile(App& app);
// "Einstellungen laden…": a settings file into the dialog, as load-settings does; the
// user then writes.
ui::Outcome loadSettingsFromFile(App& app);
// "Sicherungen…": the automatic backups, newest first; the one chosen goes into the dialog.
ui::Outcome chooseBackup(App& app);
// The dialog "Sicherungen…" shows: one list and OK/Abbrechen.
// What the list shows for a backup: "08.12.2026 10:15:03   V-10.11-1F".
std::string backupListText(const safety::BackupEntry& entry);

// At start-up: an update that never finished is told once; when the user wants it, its file
// is what "Update-Datei öffnen" starts with. The record is checked against the file first.
void announceUnfinishedUpdate(App& app);
// After a main-dialog command: a write that stopped half-way is offered again, or the
// backup taken before it goes into the dialog.
void offerAfterInterruptedWrite(App& app, ui::ControlId id, ui::Outcome outcome);

}  // namespace shell
