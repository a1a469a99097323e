// "RC-Oszillator kalibieren": copies the processor's factory calibration of its RC
// oscillator into setup byte 15, where the firmware takes it from at start.
#include <cstdio>

#include "adapter/adapter.h"
#include "controller/connect.h"
#include "controller/setup_map.h"
#include "isp/isp.h"
#include "isp/isp_access.h"
#include "isp/service_steps.h"
#include "link/link.h"

namespace isp {

namespace {

using namespace controller;

// Done when the byte now holds the factory value.
ui::Outcome showReport(adapter::LinkContext& ctx, int target, int oldValue, int newValue) {
    char text[64];
    std::snprintf(text, sizeof text, "soll: %02X\n\nalt: %02X\nneu: %02X", target, oldValue,
                  newValue);
    ctx.host.messageBox(
        nullptr, text,
        newValue == target ? "Kalibrierung erfolgreich!" : "Kalibrierung fehlgeschlagen!");
    return newValue == target ? ui::Outcome::Done : ui::Outcome::Failed;
}

}  // namespace

ui::Outcome calibrateOscillator(IspContext& ctx) {
    adapter::LinkContext& link = ctx.link;
    if (const ui::Outcome entered = enterProgrammingMode(ctx); entered != ui::Outcome::Done) {
        return entered;
    }
    const int target = ispCommand(link, readCalibrationByte, 0x00, calibrationAddress, 0x00) & 0xFF;
    // A value read over lines that failed is not the factory value; writing it would
    // detune the oscillator.
    if (adapter::linesFailed(link)) {
        reportNotReady(link, Connection::NoAnswer);
        return ui::Outcome::Failed;
    }

    adapter::startController(link, adapter::StartForm::Standard);
    const int firstAnswer = clink::probeExchange(link);
    if (firstAnswer == clink::answerOtherDevice) {
        reportNotReady(link, Connection::OtherDevice);
        return ui::Outcome::Failed;
    }
    switch (connectAfterProbe(link, firstAnswer, Reprobe::Always)) {
        case Connection::Ready:
            break;
        case Connection::NoAdapter:
            reportAdapterFailure(link, link.mainWindow);
            return ui::Outcome::Failed;
        case Connection::OtherDevice:
        case Connection::NoAnswer:
            endWithNoConnection(link);
            return ui::Outcome::Failed;
    }
    clink::setStatusText(link, " ");
    clink::repaintMain(link);

    const int oldValue = clink::readSetupByte(link, address::oscCalibration);
    if (clink::writeSetupByteChecked(link, address::oscCalibration, target) != 0) {
        clink::clearStatus(link);
        return ui::Outcome::Failed;
    }
    const int newValue = clink::readSetupByte(link, address::oscCalibration);
    const ui::Outcome outcome = showReport(link, target, oldValue, newValue);
    clink::setStatusText(link, " ");
    clink::repaintMain(link);
    return outcome;
}

}  // namespace isp
