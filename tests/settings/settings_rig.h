// The main dialog from its template on the virtual controller, with the settings
// context the commands receive, and the steps the table-driven cases are made of.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "resources/main_dialog_ids.h"
#include "settings/settings.h"
#include "sim/procedure_rig.h"

namespace settings::testing {

using namespace ids;
using Strings = std::vector<std::string>;
using Ids = std::initializer_list<ui::ControlId>;

inline constexpr int ownerMain = MainDialog;
inline constexpr int noOwner = 0;

struct SettingsRig : sim::ProcedureRig {
    ui::Dialog& dialog = mainDialog;
    SettingsContext& ctx = settingsCtx;
    Strings statusWords;

    std::size_t messageCount() { return host().messages.size(); }

    // How the last command ended.
    ui::Outcome outcome = ui::Outcome::Done;

    void read(SettingsArea area = SettingsArea::Current) { outcome = readSettings(ctx, area); }
    void write(SettingsArea area = SettingsArea::Current) { outcome = writeSettings(ctx, area); }
    // A check box toggles itself before its handler runs, as under the mouse.
    void click(ui::ControlId id) {
        if (dialog.control(id).kind == ui::Kind::CheckBox) {
            dialog.setChecked(id, !dialog.checked(id));
        }
        outcome = handleOptionCommand(ctx, id);
    }
    void type(ui::ControlId id, const std::string& text) { dialog.setText(id, text); }

    void readOk(SettingsArea area = SettingsArea::Current) {
        const std::size_t before = messageCount();
        read(area);
        EXPECT_EQ(outcome, ui::Outcome::Done);
        ASSERT_EQ(messageCount(), before) << "read refused: " << host().lastText();
    }
    void writeOk(SettingsArea area = SettingsArea::Current) {
        write(area);
        EXPECT_EQ(outcome, ui::Outcome::Done);
        ASSERT_EQ(messageCount(), 0u) << "write refused: " << host().lastText();
        EXPECT_EQ(dialog.text(StatusField), "OK");
    }
    void expectOnlyMessage(const std::string& text, const std::string& caption, int owner) {
        ASSERT_EQ(messageCount(), 1u) << host().lastText();
        EXPECT_EQ(host().messages[0].text, text);
        EXPECT_EQ(host().messages[0].caption, caption);
        EXPECT_EQ(host().messages[0].ownerId, owner);
    }
    // Each distinct status text in the order the repaints show it.
    void recordStatusWords() {
        host().onRepaint = [this](ui::Dialog& d) {
            if (statusWords.empty() || statusWords.back() != d.text(StatusField)) {
                statusWords.push_back(d.text(StatusField));
            }
        };
    }
    Strings texts(Ids ids) const {
        Strings result;
        for (ui::ControlId id : ids) {
            result.push_back(dialog.text(id));
        }
        return result;
    }
    void expectEnabled(Ids ids, bool on) const { expectEach(ids, &ui::Dialog::enabled, on); }
    void expectChecked(Ids ids, bool on) const { expectEach(ids, &ui::Dialog::checked, on); }
    void expectEach(Ids ids, bool (ui::Dialog::*state)(ui::ControlId) const, bool on) const {
        for (ui::ControlId id : ids) {
            EXPECT_EQ((dialog.*state)(id), on) << id;
        }
    }
};

// Tests that start with the controller's settings read.
class AfterARead : public ::testing::Test {
  protected:
    void SetUp() override { s.readOk(); }
    SettingsRig s;
};

// What a table case does to the rig before its command.
using Change = std::function<void(SettingsRig&)>;
using Bytes = std::vector<std::pair<std::size_t, std::uint8_t>>;

inline Change poke(Bytes bytes) {
    return [=](SettingsRig& s) {
        for (const auto& [address, value] : bytes) {
            s.memory()[address] = value;
        }
    };
}
// Clicks, then typed texts.
inline Change edit(std::vector<ui::ControlId> clicks,
                   std::vector<std::pair<ui::ControlId, const char*>> typed = {}) {
    return [=](SettingsRig& s) {
        for (ui::ControlId id : clicks) {
            s.click(id);
        }
        for (const auto& [id, text] : typed) {
            s.type(id, text);
        }
    };
}
inline Change typed(ui::ControlId id, const char* text) {
    return edit({}, {{id, text}});
}
inline Change readWith(Bytes bytes) {
    return [=](SettingsRig& s) {
        poke(bytes)(s);
        s.readOk();
    };
}

}  // namespace settings::testing
