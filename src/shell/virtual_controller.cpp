#include "shell/virtual_controller.h"

#include <cmath>

#include "sim/setup_memory.h"

namespace shell {
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
    : m_options(options),
      m_controller(configFrom(options)),
      m_serialPorts(m_clock, m_controller),
      m_portIo(m_clock, m_controller) {
    sim::SerialAdapterConfig& adapter = m_serialPorts.config();
    adapter.loopBack = options.adapter == SimAdapter::Present   ? sim::LoopBack::FollowsDtr
                       : options.adapter == SimAdapter::Missing ? sim::LoopBack::Missing
                                                                : sim::LoopBack::StuckOn;
    if (options.driver == simFtdiBitbangDriver) {
        m_ftdiBus = std::make_unique<sim::VirtualFtdiBus>(m_clock, m_controller);
        sim::VirtualFtdiConfig& chip = m_ftdiBus->config();
        chip.adapterAttached = options.adapter != SimAdapter::Missing;
        if (options.unplugAfter) {
            // The chip is written once per transfer, so that is what it counts.
            chip.vanishAtWrite = *options.unplugAfter + 1;
        }
        m_ftdiPorts = std::make_unique<adapter::FtdiPortFactory>(
            *m_ftdiBus, m_clock, m_serialPorts, adapter::FtdiPortFactory::Routing::AllNames);
    } else if (!options.driver.empty()) {
        (void)sim::applySimDriver(adapter, options.driver);  // the name was checked when read
    }
    if (options.unplugAfter && !m_ftdiBus) {
        adapter.vanishAfterOps = *options.unplugAfter;
    }
    // The controller hangs on the serial adapter, the port the selection names "SIM".
    m_portIo.setAttached(false);
    m_serialPorts.setAttached(true);
    // A trace nobody asked for would only cost memory.
    m_controller.trace().setEnabled(!options.traceFile.empty());
}

std::string VirtualController::loadMemory() {
    if (m_options.memoryFile.empty()) {
        return {};
    }
    const std::string error = sim::loadSetupFile(m_options.memoryFile, setupMemory());
    return error.empty() ? error : "--sim-memory: " + m_options.memoryFile + ": " + error;
}

Backends VirtualController::backends() {
    if (m_ftdiPorts) {
        return Backends{&m_clock, m_ftdiPorts.get(), &m_portIo};
    }
    return Backends{&m_clock, &m_serialPorts, &m_portIo};
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
             sim::saveSetupFile(m_options.saveFile, setupMemory()));
    }
    if (!m_options.flashSaveFile.empty()) {
        note("--sim-flash-save", m_options.flashSaveFile,
             m_controller.flash().save(m_options.flashSaveFile));
    }
    if (!m_options.traceFile.empty()) {
        note("--trace", m_options.traceFile, m_controller.trace().saveVcd(m_options.traceFile));
    }
    return errors;
}

}  // namespace shell
