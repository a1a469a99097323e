// "Schreiben" and the two model-memory writes: validate, connect, then store byte by
// byte, stopping at the first byte that does not read back.
#include <initializer_list>
#include <utility>

#include "adapter/adapter.h"
#include "link/link.h"
#include "resources/main_dialog_ids.h"
#include "settings/command_steps.h"
#include "settings/conversions.h"
#include "settings/setup_map.h"
#include "settings/validate_entries.h"

namespace settings {

namespace {

using namespace ids;

bool connect(SettingsContext& ctx) {
    const int firstAnswer = clink::probeExchange(ctx.link);
    if (firstAnswer == clink::answerReady) {
        return true;
    }
    switch (clink::reconnect(ctx.link, firstAnswer)) {
        case clink::Connection::Ready:
            return true;
        case clink::Connection::NoAdapter:
            showOwnedMessage(ctx, ctx.link.messageText, "Error");
            clink::clearStatus(ctx.link);
            return false;
        case clink::Connection::OtherDevice:
        case clink::Connection::NoAnswer:
            break;
    }
    ctx.image.controllerVersion = versionInvalid;
    failThroughErrorTail(ctx, "Keine Verbindung!");
    return false;
}

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

    bool run() {
        SetupImage& image = m_ctx.image;
        const int fullThrottle = pulseTimeToStored(image.fullThrottleMs);
        const int stop = pulseTimeToStored(image.stopMs);
        const int neutral = pulseTimeToStored(image.neutralMs);
        if (!writeHighLow(address::fullThrottleHigh, address::fullThrottleLow, fullThrottle) ||
            !writeHighLow(address::stopHigh, address::stopLow, stop) ||
            !writeHighLow(address::neutralHigh, address::neutralLow, neutral) ||
            !write(mirrored(Mirrored::Timing), timingByteFor(image, m_entries.timingIndex))) {
            return false;
        }
        const bool rpmControl = current() && m_dialog.checked(RpmControlCheck);
        if (rpmControl && !write(address::rpmMarker, rpmMarkerValue)) {
            return false;
        }
        image.optionFlags = optionFlags(rpmControl);
        if (!write(mirrored(Mirrored::OptionFlags), image.optionFlags) ||
            !write(mirrored(Mirrored::BrakeStrength), m_entries.brakeIndex)) {
            return false;
        }
        if (current() && !write(address::controlSpeed, m_entries.controlSpeed)) {
            return false;
        }
        const int overTemperature =
            m_dialog.checked(OverTemperatureCheck) ? overTemperatureOn : overTemperatureOff;
        if (!write(mirrored(Mirrored::SwitchingFrequency), m_entries.frequencyCode) ||
            !write(mirrored(Mirrored::UnderVoltageMode), m_entries.underVoltageMode) ||
            !write(mirrored(Mirrored::Threshold), image.thresholdCode) ||
            !write(mirrored(Mirrored::OverTemperature), overTemperature) ||
            !write(mirrored(Mirrored::StartPower), image.startPower)) {
            return false;
        }
        return !current() || writeCurrentOnly();
    }

  private:
    bool current() const { return m_area == SettingsArea::Current; }
    int mirrored(Mirrored field) const { return mirroredAddress(m_area, field); }

    bool write(int address, int value) {
        return clink::writeSetupByteChecked(m_ctx.link, address, value) == 0;
    }

    bool writeHighLow(int highAddress, int lowAddress, int value) {
        return write(highAddress, value >> 8) && write(lowAddress, value & 0xFF);
    }

    int optionFlags(bool rpmControlWritten) const {
        int flags = 0;
        if (m_entries.timingIndex != timingAutoIndex) {
            flags |= option::fixedTiming;
        }
        if (current() && m_dialog.checked(ForwardReverseCheck)) {
            flags |= option::forwardReverse;
        }
        if (m_dialog.checked(RpmLimitCheck)) {
            flags |= option::rpmLimit;
        }
        if (m_dialog.checked(ActiveFreewheelCheck)) {
            flags |= option::activeFreewheel;
        }
        if (rpmControlWritten) {
            flags |= option::rpmControl;
        }
        if (m_entries.brakeIndex != 0) {
            flags |= option::brake;
        }
        if (m_dialog.checked(BlockedMotorCheck)) {
            flags |= option::blockedMotor;
        }
        return flags;
    }

    bool writeCurrentOnly() {
        if (!write(address::signalTolerance, m_entries.tolerance) ||
            !write(address::logTransmitterFailures, m_entries.counters[0]) ||
            !write(address::logOverTemperature, m_entries.counters[1]) ||
            !write(address::logUnderVoltage, m_entries.counters[2])) {
            return false;
        }
        if ((m_ctx.image.capabilityFlags & capability::blockedMotor) != 0) {
            return write(address::logBlockedMotor, m_entries.counters[3]);
        }
        return true;
    }

    SettingsContext& m_ctx;
    SettingsArea m_area;
    ui::Dialog& m_dialog;
    const ValidatedEntries& m_entries;
};

}  // namespace

void writeSettings(SettingsContext& ctx, SettingsArea area) {
    if (!ctx.image.valuesRead()) {
        refuseBeforeRead(ctx);
        return;
    }
    clink::showStatus(ctx.link, "verbinden....");
    if (adapter::detectAdapter(ctx.link) != 0) {
        showOwnedMessage(ctx, ctx.link.messageText, "Error");
        clink::clearStatus(ctx.link);
        return;
    }
    const std::optional<ValidatedEntries> entries = validateEntries(ctx, area);
    if (!entries || !connect(ctx)) {
        return;
    }
    clink::showStatus(ctx.link, "schreiben.....");
    if (area == SettingsArea::Memory2 &&
        clink::readSetupByte(
            ctx.link, mirroredAddress(SettingsArea::Memory1, Mirrored::SwitchingFrequency)) ==
            memoryEmpty) {
        failThroughErrorTail(ctx, "Modellspeicher1 zuerst beschreiben!");
        return;
    }
    if (!Writer(ctx, area, *entries).run()) {
        clink::clearStatus(ctx.link);
        return;
    }
    clink::setStatusText(ctx.link, "OK");
    clink::setStatusEnabled(ctx.link, false);
    ctx.link.host.beep();
    clink::repaintMain(ctx.link);
}

}  // namespace settings
