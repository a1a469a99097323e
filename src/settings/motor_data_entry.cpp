#include "settings/motor_data_entry.h"

#include <cmath>

#include "config/motor_data_file.h"
#include "resources/texts.h"
#include "settings/conversions.h"
#include "settings/subdialog_numbers.h"

namespace settings::subdialogs {

namespace {

// The pole count is read from at most this many characters of its field.
constexpr std::size_t poleCountFieldChars = 9;
constexpr int maxPoleCount = 98;
constexpr const char* defaultRatioText = "   1";

std::string_view messageFor(MotorEntryError error) {
    constexpr std::string_view messages[] = {
        // by MotorEntryError
        "", "Polzahl: Wert nicht zulässig!", "Polzahl: nur gerade Werte möglich!",
        "Polzahl: max. 2-stellig!", "Getriebe-Untersetzung: Wert nicht zulässig!"};
    return messages[static_cast<int>(error)];
}

// The stored text is read back from at most numberWidth characters; a ratio whose text
// is longer, or that rounds to 0.00, would come back as another value.
bool ratioReadsBack(float ratio) {
    const std::string text = config::formatGearRatio(ratio);
    return text.size() <= config::numberWidth && config::parseGearRatioField(text) != 0.0f;
}

}  // namespace

void loadAndShowMotorData(SettingsContext& ctx, ui::Dialog& dialog, MotorDataFields fields) {
    config::loadMotorData(ctx.link.port.startDirectory, ctx.motorData, ctx.link.host);
    dialog.setText(fields.poleCount, config::formatPoleCount(ctx.motorData.poleCount));
    dialog.setText(fields.gearRatio, config::formatGearRatio(ctx.motorData.gearRatio));
    ctx.link.host.repaint(dialog);
}

MotorEntry readMotorEntry(std::string_view poleCountText, std::string_view gearRatioText) {
    MotorEntry entry;
    const int poleCount = parseInteger(poleCountText, poleCountFieldChars, wholeText).value_or(0);
    // Negative counts are no more a motor than 0 is.
    if (poleCount <= 0) {
        entry.error = MotorEntryError::PoleCountNotAllowed;
        return entry;
    }
    if (poleCount % 2 != 0) {
        entry.error = MotorEntryError::PoleCountOdd;
        return entry;
    }
    if (poleCount > maxPoleCount) {
        entry.error = MotorEntryError::PoleCountTooLarge;
        return entry;
    }
    entry.data.poleCount = poleCount;

    const float ratio = parseDecimal(gearRatioText);
    // "inf" and "nan" read as numbers, but no pilot means them as one.
    if (ratio == 0.0f || !std::isfinite(ratio)) {
        entry.data.gearRatio = 1.0f;
        entry.ratioDefaulted = true;
        return entry;
    }
    if (ratio < 0.0f || !ratioReadsBack(ratio)) {
        entry.error = MotorEntryError::GearRatioNotAllowed;
        return entry;
    }
    entry.data.gearRatio = ratio;
    return entry;
}

ui::Outcome saveMotorData(SettingsContext& ctx, ui::Dialog& dialog, MotorDataFields fields) {
    const MotorEntry entry =
        readMotorEntry(dialog.text(fields.poleCount), dialog.text(fields.gearRatio));
    if (entry.error != MotorEntryError::None) {
        ctx.link.host.messageBox(nullptr, messageFor(entry.error), texts::ErrorBangCaption);
        return ui::Outcome::Refused;
    }
    ctx.motorData.poleCount = entry.data.poleCount;
    if (config::saveMotorData(ctx.link.port.startDirectory, entry.data, ctx.link.host) !=
        config::SaveMotorDataResult::Saved) {
        return ui::Outcome::Failed;
    }
    ctx.motorData.gearRatio = entry.data.gearRatio;
    if (entry.ratioDefaulted) {
        dialog.setText(fields.gearRatio, defaultRatioText);
    }
    return ui::Outcome::Done;
}

}  // namespace settings::subdialogs
