// The ports beyond COM1-COM8 in the "Port" menu and the remembered choice among them.
#include "gui/port_menu_extra.h"

#include <gtest/gtest.h>

#include <QAction>

#include "gui/gui_rig.h"
#include "resources/main_dialog_ids.h"

namespace gui::testing {
namespace {

adapter::DiscoveredPort port(const std::string& name, const std::string& byId = {}) {
    adapter::DiscoveredPort found;
    found.name = name;
    found.devicePath = "/dev/" + name;
    found.byIdPath = byId.empty() ? std::string() : "/dev/serial/by-id/" + byId;
    found.driver = name.rfind("ttyACM", 0) == 0 ? "cdc_acm" : "ftdi_sio";
    return found;
}

TEST(PortMenuExtra, OffersWhatTheComItemsDoNotReach) {
    const std::vector<shell::FoundPortItem> items =
        shell::foundPortItems({port("ttyS0"), port("ttyUSB0"), port("ttyUSB1", "usb-FT232R_A1"),
                               port("ttyUSB4"), port("ttyACM0")});
    std::vector<std::string> devices;
    for (const shell::FoundPortItem& item : items) {
        devices.push_back(item.device);
    }
    EXPECT_EQ(devices, (std::vector<std::string>{"/dev/serial/by-id/usb-FT232R_A1", "/dev/ttyUSB4",
                                                 "/dev/ttyACM0"}));
    EXPECT_TRUE(items[0].note.ends_with("= ttyUSB1"));
}

TEST(PortMenuExtra, AChosenPortIsSelectedCheckedRememberedAndGivenUpForACom) {
    GuiRig rig;
    MainWindow& window = rig.start();
    auto* extra = new PortMenuExtra(rig.app, window, rig.dir.path(),
                                    [] { return std::vector{port("ttyACM3")}; });
    extra->action(0)->trigger();
    EXPECT_EQ(rig.app.port().comDeviceName, "/dev/ttyACM3");
    EXPECT_TRUE(rig.boxes.empty()) << rig.lastBox();
    EXPECT_TRUE(extra->action(0)->isChecked());
    for (ui::ControlId id = ids::Com1Item; id <= ids::Com8Item; ++id) {
        EXPECT_FALSE(rig.app.mainDialog().menuItem(id).checked);
    }
    // The next start finds it again while qvsetup.cfg still says what it said.
    {
        GuiRig next;
        next.app.initDialog(rig.dir.path());
        EXPECT_TRUE(restorePortChoice(next.app, rig.dir.path()));
        EXPECT_EQ(next.app.port().comDeviceName, "/dev/ttyACM3");
    }
    window.runCommand(ids::Com3Item);
    EXPECT_EQ(rig.app.port().comDeviceName, "COM3");
    EXPECT_FALSE(readPortChoice(rig.dir.path()).has_value());
    extra->refresh();
    EXPECT_FALSE(extra->action(0)->isChecked());

    // An absent adapter is reported under the device; the four-character field keeps a
    // name qvsetup.cfg can hold.
    rig.rig.serialConfig().loopBack = sim::LoopBack::Missing;
    extra->action(0)->trigger();
    EXPECT_EQ(rig.lastBox(), "No Adaptor found at /dev/ttyACM3\n");
    EXPECT_EQ(rig.app.port().portName, "COM3");
}

}  // namespace
}  // namespace gui::testing
