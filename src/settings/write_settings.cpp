// "Schreiben" and the two model-memory writes: validate, connect, then store byte by
// byte, stopping at the first byte that does not read back.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "adapter/adapter.h"
#include "controller/connect.h"
#include "controller/setup_map.h"
#include "link/link.h"
#include "resources/main_dialog_ids.h"
#include "resources/settings_fields.h"
#include "resources/texts.h"
#include "settings/command_steps.h"
#include "settings/conversions.h"
#include "settings/validate_entries.h"

namespace settings {

namespace {

using namespace ids;
using namespace controller;

ui::Outcome connectForWrite(SettingsContext& ctx) {
    switch (connect(ctx.link, Reprobe::WhenNotReady)) {
        case Connection::Ready:
            return ui::Outcome::Done;
        case Connection::NoAdapter:
            reportAdapterFailure(ctx.link, &ctx.mainDialog);
            return ui::Outcome::Failed;
        case Connection::OtherDevice:
        case Connection::NoAnswer:
            break;
    }
    ctx.image.controllerVersion = versionInvalid;
    endWithNoConnection(ctx.link);
    return ui::Outcome::Failed;
}

struct PlannedByte {
    int address;
    int value;
    std::string_view field;  // the label the user knows it by, for a write that stops half-way
};

// While "auto" is selected the controller ignores the timing byte; the one last read is
// kept when it is a valid timing, otherwise 0° is stored.
int timingByteFor(const SetupImage& image, int timingIndex) {
    if (timingIndex != timingAutoIndex) {
        return timingIndexToByte(timingIndex);
    }
    for (int index = 0; index < timingAutoIndex; ++index) {
        if (image.timingCode == timingIndexToByte(index)) {
            return image.timingCode;
        }
    }
    return timingIndexToByte(0);
}

class Writer {
  public:
    Writer(SettingsContext& ctx, SettingsArea area, const ValidatedEntries& entries)
        : m_ctx(ctx), m_area(area), m_dialog(ctx.mainDialog), m_entries(entries) {}

    // Every byte in the order it is stored.
    std::vector<PlannedByte> plan() {
        SetupImage& image = m_ctx.image;
        writeHighLow(address::fullThrottleHigh, address::fullThrottleLow,
                     pulseTimeToStored(image.fullThrottleMs), FullThrottleField);
        writeHighLow(address::stopHigh, address::stopLow, pulseTimeToStored(image.stopMs),
                     StopField);
        writeHighLow(address::neutralHigh, address::neutralLow, pulseTimeToStored(image.neutralMs),
                     NeutralField);
        write(mirrored(Mirrored::Timing), timingByteFor(image, m_entries.timingIndex), TimingList);
        const bool rpmControl = current() && m_dialog.checked(RpmControlCheck);
        if (rpmControl) {
            write(address::rpmMarker, rpmMarkerValue, RpmControlCheck);
        }
        image.optionFlags = optionFlags(rpmControl);
        write(mirrored(Mirrored::OptionFlags), image.optionFlags, "Diverse Features");
        write(mirrored(Mirrored::BrakeStrength), m_entries.brakeIndex, BrakeList);
        if (current()) {
            write(address::controlSpeed, m_entries.controlSpeed, ControlSpeedField);
        }
        write(mirrored(Mirrored::SwitchingFrequency), m_entries.frequencyCode, Frequency78Radio);
        write(mirrored(Mirrored::UnderVoltageMode), m_entries.underVoltageMode, IgnoreRadio);
        write(mirrored(Mirrored::Threshold), image.thresholdCode, VoltsField);
        write(mirrored(Mirrored::OverTemperature),
              m_dialog.checked(OverTemperatureCheck) ? overTemperatureOn : overTemperatureOff,
              OverTemperatureCheck);
        write(mirrored(Mirrored::StartPower), image.startPower, StartPowerField);
        if (current()) {
            writeCurrentOnly();
        }
        return m_plan;
    }

  private:
    bool current() const { return m_area == SettingsArea::Current; }
    int mirrored(Mirrored field) const { return mirroredAddress(m_area, field); }

    // The byte under the label of the field control belongs to.
    void write(int address, int value, ui::ControlId control) {
        write(address, value, resources::fieldLabel(control));
    }
    void write(int address, int value, std::string_view field) {
        m_plan.push_back({address, value & 0xFF, field});
    }

    void writeHighLow(int highAddress, int lowAddress, int value, ui::ControlId field) {
        write(highAddress, value >> 8, field);
        write(lowAddress, value & 0xFF, field);
    }

    int optionFlags(bool rpmControlWritten) const {
        const std::pair<bool, int> options[] = {
            {m_entries.timingIndex != timingAutoIndex, option::fixedTiming},
            {current() && m_dialog.checked(ForwardReverseCheck), option::forwardReverse},
            {m_dialog.checked(RpmLimitCheck), option::rpmLimit},
            {m_dialog.checked(ActiveFreewheelCheck), option::activeFreewheel},
            {rpmControlWritten, option::rpmControl},
            {m_entries.brakeIndex != 0, option::brake},
            {m_dialog.checked(BlockedMotorCheck), option::blockedMotor},
        };
        int flags = 0;
        for (const auto& [set, flag] : options) {
            flags |= set ? flag : 0;
        }
        return flags;
    }

    void writeCurrentOnly() {
        write(address::signalTolerance, m_entries.tolerance, ToleranceSmallRadio);
        write(address::logTransmitterFailures, m_entries.counters[0], TransmitterFailureCounter);
        write(address::logOverTemperature, m_entries.counters[1], OverTemperatureCounter);
        write(address::logUnderVoltage, m_entries.counters[2], UnderVoltageCounter);
        if ((m_ctx.image.capabilityFlags & capability::blockedMotor) != 0) {
            write(address::logBlockedMotor, m_entries.counters[3], BlockedMotorCounter);
        }
    }

    SettingsContext& m_ctx;
    SettingsArea m_area;
    ui::Dialog& m_dialog;
    const ValidatedEntries& m_entries;
    std::vector<PlannedByte> m_plan;
};

int knownByte(const SetupImage& image, int address) {
    return address >= 0 && address < settingsBytesEnd
               ? image.knownBytes[static_cast<std::size_t>(address)]
               : byteUnknown;
}

// The fields by what the controller now holds of them: "stored: Vollg. (ms), Stopp (ms); not
// stored: Neut. (ms) (partly), Kommutierungs-Timing". A field of two bytes stored by half reads
// back as neither value.
std::string fieldsStored(const std::vector<PlannedByte>& plan, std::size_t failed) {
    std::vector<std::pair<std::string, std::pair<std::size_t, std::size_t>>> fields;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        if (fields.empty() || fields.back().first != plan[i].field) {
            fields.push_back({std::string(plan[i].field), {0, 0}});
        }
        ++fields.back().second.second;
        fields.back().second.first += i < failed ? 1 : 0;
    }
    std::string stored;
    std::string notStored;
    for (const auto& [field, counts] : fields) {
        const auto& [done, total] = counts;
        std::string& list = done == total ? stored : notStored;
        list += (list.empty() ? "" : ", ") + field + (done > 0 && done < total ? " (partly)" : "");
    }
    return "stored: " + (stored.empty() ? std::string("none") : stored) +
           "; not stored: " + (notStored.empty() ? std::string("none") : notStored);
}

// A byte that did not read back: the write stops there. When every byte from it on
// already held its new value, all that changed was stored, and the box is a false alarm.
ui::Outcome reportWriteFailure(SettingsContext& ctx, const std::vector<PlannedByte>& plan,
                               std::size_t failed) {
    bool restUnchanged = true;
    for (std::size_t i = failed; i < plan.size(); ++i) {
        restUnchanged = restUnchanged && knownByte(ctx.image, plan[i].address) == plan[i].value;
    }
    const std::string verified = std::to_string(failed) + " of " + std::to_string(plan.size()) +
                                 " setup bytes stored and verified";
    ctx.link.host.setPendingDetail(
        restUnchanged ? verified +
                            "; the others already held their new values, so every "
                            "change was stored"
                      : verified + "; setup byte " + std::to_string(plan[failed].address) +
                            " did not read back and the rest were not written; " +
                            fieldsStored(plan, failed));
    ctx.link.host.messageBox(nullptr, texts::WriteError, texts::ErrorBangCaption);
    return restUnchanged ? ui::Outcome::Done : ui::Outcome::Failed;
}

// The number of bytes stored and verified: all of them, or up to the first that failed.
std::size_t store(SettingsContext& ctx, const std::vector<PlannedByte>& plan) {
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const PlannedByte& byte = plan[i];
        if (clink::writeSetupByte(ctx.link, byte.address, byte.value) != 0) {
            return i;
        }
        ctx.image.knownBytes[static_cast<std::size_t>(byte.address)] = byte.value;
    }
    return plan.size();
}

}  // namespace

ui::Outcome writeSettings(SettingsContext& ctx, SettingsArea area) {
    if (!ctx.image.valuesRead()) {
        return refuseBeforeRead(ctx);
    }
    if (!startConnecting(ctx.link, &ctx.mainDialog)) {
        return ui::Outcome::Failed;
    }
    const std::optional<ValidatedEntries> entries = validateEntries(ctx, area);
    if (!entries) {
        return ui::Outcome::Refused;
    }
    if (const ui::Outcome connected = connectForWrite(ctx); connected != ui::Outcome::Done) {
        return connected;
    }
    clink::showStatus(ctx.link, "schreiben.....");
    if (area == SettingsArea::Memory2 &&
        readKnownByte(ctx, mirroredAddress(SettingsArea::Memory1, Mirrored::SwitchingFrequency)) ==
            memoryEmpty) {
        return failThroughErrorTail(ctx, "Modellspeicher1 zuerst beschreiben!",
                                    ui::Outcome::Refused);
    }
    std::vector<PlannedByte> plan = Writer(ctx, area, *entries).plan();
    if (area == SettingsArea::Current) {
        for (const SetupByte& byte : ctx.image.restoreBytes) {
            plan.push_back({byte.address, byte.value, "Sicherung"});
        }
    }
    if (const std::size_t stored = store(ctx, plan); stored < plan.size()) {
        const ui::Outcome outcome = reportWriteFailure(ctx, plan, stored);
        clink::clearStatus(ctx.link);
        return outcome;
    }
    if (area == SettingsArea::Current) {
        ctx.image.restoreBytes.clear();
    }
    clink::setStatusText(ctx.link, "OK");
    clink::setStatusEnabled(ctx.link, false);
    ctx.link.host.beep();
    clink::repaintMain(ctx.link);
    return ui::Outcome::Done;
}

}  // namespace settings
