#include "shell/dispatch.h"

#include <algorithm>
#include <array>

#include "resources/main_dialog_ids.h"
#include "resources/port_menu_ids.h"
#include "shell/commands.h"

namespace shell {
namespace {

using namespace ids;
using settings::handleOptionCommand;
using settings::readSettings;
using settings::SettingsArea;
using settings::writeSettings;

constexpr std::array table{
    DispatchRow{Ok, Ok, &okCommand},
    DispatchRow{EndButton, EndButton, &endSequence},
    DispatchRow{HelpFileItem, HelpFileItem, &openHelpDocument},
    DispatchRow{Frequency78Radio, Frequency156Radio, &handleOptionCommand},
    DispatchRow{OpenUpdateFileItem, OpenUpdateFileItem, &update::runUpdate, WritesController},
    DispatchRow{ReadButton, ReadButton, &readSettings, ReadsSettings},
    DispatchRow{WriteButton, WriteButton, &writeSettings, WritesSettings | WritesController},
    DispatchRow{AboutItem, AboutItem, &showAbout},
    DispatchRow{Com1Item, Com8Item, &selectSerialPort},
    DispatchRow{VirtualControllerItem, VirtualControllerItem, &selectVirtualControllerItem},
    DispatchRow{IgnoreRadio, IgnoreRadio, &handleOptionCommand},
    DispatchRow{SwitchOffRadio, ReducePowerRadio, &handleOptionCommand},
    DispatchRow{RpmControlCheck, RpmControlCheck, &handleOptionCommand},
    DispatchRow{ResetCountersButton, ReleaseButton, &handleOptionCommand},
    DispatchRow{CellVoltageCheck, CellVoltageCheck, &handleOptionCommand},
    DispatchRow{ServicePageItem, ServicePageItem, &openServicePage},
    DispatchRow{ReadMemory1Item, ReadMemory1Item, &readSettings, ReadsSettings,
                SettingsArea::Memory1},
    DispatchRow{ReadMemory2Item, ReadMemory2Item, &readSettings, ReadsSettings,
                SettingsArea::Memory2},
    DispatchRow{WriteMemory1Item, WriteMemory1Item, &writeSettings,
                WritesSettings | WritesController, SettingsArea::Memory1},
    DispatchRow{WriteMemory2Item, WriteMemory2Item, &writeSettings,
                WritesSettings | WritesController, SettingsArea::Memory2},
    DispatchRow{LockFunctionsItem, LockFunctionsItem, &settings::openLockFunctions},
    DispatchRow{CalibrateItem, CalibrateItem, &isp::calibrateOscillator,
                WritesController | ShowsResult},
    DispatchRow{RpmSettingsButton, RpmSettingsButton, &settings::openRpmControl},
    DispatchRow{ProcessorInfoItem, ProcessorInfoItem, &isp::showControllerInfo, ShowsResult},
    DispatchRow{RevCounterItem, RevCounterItem, &settings::openRevCounter},
    DispatchRow{SaveSettingsItem, SaveSettingsItem, &saveSettingsToFile},
    DispatchRow{LoadSettingsItem, LoadSettingsItem, &loadSettingsFromFile},
    DispatchRow{BackupsItem, BackupsItem, &chooseBackup},
    DispatchRow{LanguageItem, LanguageItem, &switchLanguage},
    DispatchRow{CheckPortItem, CheckPortItem, +[](App& app) { return checkChosenPort(app); }},
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

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;  // clang 14 does not deduce an aggregate's arguments

}  // namespace

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

bool commandHas(ui::ControlId id, CommandTrait trait) {
    const DispatchRow* row = findCommand(id);
    return row != nullptr && (row->traits & trait) != 0;
}

ui::Outcome runCommand(const DispatchRow& row, App& app, ui::ControlId id) {
    settings::SettingsContext settings = app.settingsContext();
    return std::visit(Overloaded{
                          [&](ui::Outcome (*f)(App&)) { return f(app); },
                          [&](ui::Outcome (*f)(App&, ui::ControlId)) { return f(app, id); },
                          [&](ui::Outcome (*f)(settings::SettingsContext&)) { return f(settings); },
                          [&](ui::Outcome (*f)(settings::SettingsContext&, ui::ControlId)) {
                              return f(settings, id);
                          },
                          [&](ui::Outcome (*f)(settings::SettingsContext&, SettingsArea)) {
                              return f(settings, row.area);
                          },
                          [&](ui::Outcome (*f)(isp::IspContext&)) {
                              isp::IspContext ctx = app.ispContext();
                              return f(ctx);
                          },
                          [&](ui::Outcome (*f)(update::UpdateContext&)) {
                              update::UpdateContext ctx = app.updateContext();
                              return f(ctx);
                          },
                      },
                      row.handler);
}

}  // namespace shell
