#include "shell/dispatch.h"

#include <algorithm>
#include <array>

#include "isp/isp.h"
#include "resources/main_dialog_ids.h"
#include "resources/port_menu_ids.h"
#include "settings/settings.h"
#include "shell/commands.h"
#include "update/update.h"

namespace shell {
namespace {

using settings::SettingsArea;

ui::Outcome ok(App& app, ui::ControlId) {
    okCommand(app);
    return ui::Outcome::Done;
}
ui::Outcome end(App& app, ui::ControlId) {
    return endSequence(app);
}
ui::Outcome help(App& app, ui::ControlId) {
    return openHelpDocument(app);
}
ui::Outcome about(App& app, ui::ControlId) {
    showAbout(app);
    return ui::Outcome::Done;
}
ui::Outcome servicePage(App& app, ui::ControlId) {
    openServicePage(app);
    return ui::Outcome::Done;
}
ui::Outcome language(App& app, ui::ControlId) {
    return switchLanguage(app);
}
ui::Outcome serialPort(App& app, ui::ControlId id) {
    return selectSerialPort(app, id);
}
ui::Outcome virtualController(App& app, ui::ControlId) {
    const bool available = app.hasVirtualController();
    app.selectVirtualController(true);
    // The adapter check leaves its verdict in the link state.
    return !available || app.linkState().adapterDetected ? ui::Outcome::Done : ui::Outcome::Failed;
}

ui::Outcome option(App& app, ui::ControlId id) {
    settings::SettingsContext ctx = app.settingsContext();
    return settings::handleOptionCommand(ctx, id);
}

SettingsArea memoryArea(ui::ControlId id, ui::ControlId memory1Id) {
    return id == memory1Id ? SettingsArea::Memory1 : SettingsArea::Memory2;
}

ui::Outcome readCurrent(App& app, ui::ControlId) {
    settings::SettingsContext ctx = app.settingsContext();
    return settings::readSettings(ctx, SettingsArea::Current);
}

ui::Outcome readMemory(App& app, ui::ControlId id) {
    settings::SettingsContext ctx = app.settingsContext();
    return settings::readSettings(ctx, memoryArea(id, ids::ReadMemory1Item));
}

ui::Outcome writeCurrent(App& app, ui::ControlId) {
    settings::SettingsContext ctx = app.settingsContext();
    return settings::writeSettings(ctx, SettingsArea::Current);
}

ui::Outcome writeMemory(App& app, ui::ControlId id) {
    settings::SettingsContext ctx = app.settingsContext();
    return settings::writeSettings(ctx, memoryArea(id, ids::WriteMemory1Item));
}

ui::Outcome lockFunctions(App& app, ui::ControlId) {
    settings::SettingsContext ctx = app.settingsContext();
    return settings::openLockFunctions(ctx);
}

ui::Outcome rpmControl(App& app, ui::ControlId) {
    settings::SettingsContext ctx = app.settingsContext();
    return settings::openRpmControl(ctx);
}

ui::Outcome revCounter(App& app, ui::ControlId) {
    settings::SettingsContext ctx = app.settingsContext();
    return settings::openRevCounter(ctx);
}

ui::Outcome runUpdate(App& app, ui::ControlId) {
    update::UpdateContext ctx = app.updateContext();
    return update::runUpdate(ctx);
}

ui::Outcome calibrate(App& app, ui::ControlId) {
    isp::IspContext ctx = app.ispContext();
    return isp::calibrateOscillator(ctx);
}

ui::Outcome controllerInfo(App& app, ui::ControlId) {
    isp::IspContext ctx = app.ispContext();
    return isp::showControllerInfo(ctx);
}

ui::Outcome saveSettings(App& app, ui::ControlId) {
    return saveSettingsToFile(app);
}

ui::Outcome loadSettings(App& app, ui::ControlId) {
    return loadSettingsFromFile(app);
}

ui::Outcome backups(App& app, ui::ControlId) {
    return chooseBackup(app);
}

ui::Outcome checkPort(App& app, ui::ControlId) {
    return checkChosenPort(app);
}

using namespace ids;

constexpr std::array table{
    DispatchRow{Ok, Ok, &ok},
    DispatchRow{EndButton, EndButton, &end},
    DispatchRow{HelpFileItem, HelpFileItem, &help},
    DispatchRow{Frequency78Radio, Frequency156Radio, &option},
    DispatchRow{OpenUpdateFileItem, OpenUpdateFileItem, &runUpdate},
    DispatchRow{ReadButton, ReadButton, &readCurrent},
    DispatchRow{WriteButton, WriteButton, &writeCurrent},
    DispatchRow{AboutItem, AboutItem, &about},
    DispatchRow{Com1Item, Com8Item, &serialPort},
    DispatchRow{ids::VirtualControllerItem, ids::VirtualControllerItem, &virtualController},
    DispatchRow{IgnoreRadio, IgnoreRadio, &option},
    DispatchRow{SwitchOffRadio, ReducePowerRadio, &option},
    DispatchRow{RpmControlCheck, RpmControlCheck, &option},
    DispatchRow{ResetCountersButton, ReleaseButton, &option},
    DispatchRow{CellVoltageCheck, CellVoltageCheck, &option},
    DispatchRow{ServicePageItem, ServicePageItem, &servicePage},
    DispatchRow{ReadMemory1Item, ReadMemory2Item, &readMemory},
    DispatchRow{WriteMemory1Item, WriteMemory2Item, &writeMemory},
    DispatchRow{LockFunctionsItem, LockFunctionsItem, &lockFunctions},
    DispatchRow{CalibrateItem, CalibrateItem, &calibrate},
    DispatchRow{RpmSettingsButton, RpmSettingsButton, &rpmControl},
    DispatchRow{ProcessorInfoItem, ProcessorInfoItem, &controllerInfo},
    DispatchRow{RevCounterItem, RevCounterItem, &revCounter},
    DispatchRow{SaveSettingsItem, SaveSettingsItem, &saveSettings},
    DispatchRow{LoadSettingsItem, LoadSettingsItem, &loadSettings},
    DispatchRow{BackupsItem, BackupsItem, &backups},
    DispatchRow{LanguageItem, LanguageItem, &language},
    DispatchRow{ids::CheckPortItem, ids::CheckPortItem, &checkPort},
};

constexpr std::array inert{
    ActiveFreewheelCheck, ForwardReverseCheck, ToleranceSmallRadio, ToleranceMediumRadio,
    ToleranceHighRadio,   RpmLimitCheck,       BlockedMotorCheck,   OverTemperatureCheck,
};

// findCommand's binary search relies on this.
constexpr bool sortedWithoutOverlap() {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].first > table[i].last) {
            return false;
        }
        if (i + 1 < table.size() && table[i].last >= table[i + 1].first) {
            return false;
        }
    }
    return true;
}
static_assert(sortedWithoutOverlap(), "the dispatch table is sorted by id, no id twice");

}  // namespace

std::span<const DispatchRow> dispatchTable() {
    return table;
}

std::span<const ui::ControlId> inertCommandIds() {
    return inert;
}

const DispatchRow* findCommand(ui::ControlId id) {
    auto row =
        std::lower_bound(table.begin(), table.end(), id,
                         [](const DispatchRow& r, ui::ControlId value) { return r.last < value; });
    if (row == table.end() || id < row->first) {
        return nullptr;
    }
    return &*row;
}

}  // namespace shell
