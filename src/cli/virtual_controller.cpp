#include "cli/virtual_controller.h"

#include <cmath>

#include "sim/setup_memory.h"
#include "sim/test_rig.h"

namespace cli {
namespace {

sim::ControllerConfig configFrom(const SimOptions& options) {
    sim::ControllerConfig config;
    config.kind = options.device == SimDevice::Zek     ? sim::DeviceKind::ThisController
                  : options.device == SimDevice::Other ? sim::DeviceKind::OtherKind
                                                       : sim::DeviceKind::NothingAttached;
    sim::IspConfig& isp = config.isp;
    isp.signature = options.signature;
    isp.lockBits = options.lockBits;
    isp.fuseHigh = options.fuseHigh;
    isp.fuseLow = options.fuseLow;
    isp.calibration = options.calibration;
    switch (options.isp) {
        case SimIsp::InStep:
            break;
        case SimIsp::Shift:
            isp.frameOffsetBits = options.ispShiftBits;
            break;
        case SimIsp::Silent:
            isp.neverEchoes = true;
            break;
        case SimIsp::Locked:
            isp.familyOne = sim::FamilyOneReads::Always;
            break;
        case SimIsp::LockedOnce:
            isp.familyOne = sim::FamilyOneReads::Once;
            break;
        case SimIsp::Erased:
            isp.signatureErased = true;
            break;
    }
    if (options.motorHz) {
        config.motor.pulseRateHz = *options.motorHz;
        config.motor.runMs = static_cast<std::uint32_t>(std::lround(options.motorSeconds * 1000.0));
    } else {
        config.motor.runMs = 0;  // no motor: a release start puts no pulse on DATA-IN
    }
    return config;
}

}  // namespace

VirtualController::VirtualController(const SimOptions& options)
    : m_options(options), m_rig(std::make_unique<sim::TestRig>(configFrom(options))) {
    sim::SerialAdapterConfig& adapter = m_rig->serialConfig();
    adapter.loopBack = options.adapter == SimAdapter::Present   ? sim::LoopBack::FollowsDtr
                       : options.adapter == SimAdapter::Missing ? sim::LoopBack::Missing
                                                                : sim::LoopBack::StuckOn;
    // A trace nobody asked for would only cost memory.
    m_rig->trace().setEnabled(!options.traceFile.empty());
}

VirtualController::~VirtualController() = default;

std::string VirtualController::loadMemory() {
    if (m_options.memoryFile.empty()) {
        return {};
    }
    const std::string error = sim::loadSetupFile(m_options.memoryFile, m_rig->setupMemory());
    return error.empty() ? error : "--sim-memory: " + m_options.memoryFile + ": " + error;
}

shell::Backends VirtualController::backends() {
    return shell::Backends{&m_rig->clock(), &m_rig->serialPorts(), &m_rig->portIo()};
}

std::string VirtualController::saveOutputs() {
    std::string errors;
    const auto note = [&](const char* option, const std::string& path, const std::string& error) {
        if (!error.empty()) {
            errors +=
                (errors.empty() ? "" : "; ") + std::string(option) + ": " + path + ": " + error;
        }
    };
    if (!m_options.saveFile.empty()) {
        note("--sim-save", m_options.saveFile,
             sim::saveSetupFile(m_options.saveFile, m_rig->setupMemory()));
    }
    if (!m_options.flashSaveFile.empty()) {
        note("--sim-flash-save", m_options.flashSaveFile,
             m_rig->flash().save(m_options.flashSaveFile));
    }
    if (!m_options.traceFile.empty()) {
        note("--trace", m_options.traceFile, m_rig->trace().saveVcd(m_options.traceFile));
    }
    return errors;
}

}  // namespace cli
