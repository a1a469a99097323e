// "RC-Oszillator kalibieren": copies the processor's factory calibration of its RC
// oscillator into setup byte 15, where the firmware takes it from at start.
#include <cstdio>

#include "adapter/adapter.h"
#include "isp/isp.h"
#include "isp/isp_access.h"
#include "isp/service_steps.h"
#include "link/link.h"

namespace isp {

namespace {

constexpr int oscCalibrationAddress = 0x0F;

void showReport(adapter::LinkContext& ctx, int target, int oldValue, int newValue) {
    char text[64];
    std::snprintf(text, sizeof text, "soll: %02X\n\nalt: %02X\nneu: %02X", target, oldValue,
                  newValue);
    ctx.host.messageBox(
        nullptr, text,
        newValue == target ? "Kalibrierung erfolgreich!" : "Kalibrierung fehlgeschlagen!");
}

}  // namespace

void calibrateOscillator(IspContext& ctx) {
    adapter::LinkContext& link = ctx.link;
    if (!enterProgrammingMode(ctx)) {
        return;
    }
    const int target = ispCommand(link, readCalibrationByte, 0x00, calibrationAddress, 0x00) & 0xFF;
    // A value read over lines that failed is not the factory value; writing it would
    // detune the oscillator.
    if (adapter::linesFailed(link)) {
        reportNoConnection(link);
        return;
    }

    adapter::startController(link, adapter::StartForm::Standard);
    const int firstAnswer = clink::probeExchange(link);
    if (firstAnswer == clink::answerOtherDevice) {
        reportOtherDevice(link);
        return;
    }
    switch (clink::reconnect(link, firstAnswer)) {
        case clink::Connection::Ready:
            break;
        case clink::Connection::NoAdapter:
            reportAdapterFailure(link);
            return;
        case clink::Connection::OtherDevice:
        case clink::Connection::NoAnswer:
            link.messageText = "Keine Verbindung!";
            clink::errorTail(link);
            return;
    }
    clink::setStatusText(link, " ");
    clink::repaintMain(link);

    const int oldValue = clink::readSetupByte(link, oscCalibrationAddress);
    if (clink::writeSetupByteChecked(link, oscCalibrationAddress, target) != 0) {
        clink::clearStatus(link);
        return;
    }
    const int newValue = clink::readSetupByte(link, oscCalibrationAddress);
    showReport(link, target, oldValue, newValue);
    clink::setStatusText(link, " ");
    clink::repaintMain(link);
}

}  // namespace isp
