#include "adapter/parallel_lines.h"

#include <cstdio>

#include "adapter/adapter.h"
#include "resources/texts.h"

namespace adapter {

namespace {

// The port's pins settle after the direction change and after lowering.
constexpr std::uint32_t parallelSettleMs = 10;

}  // namespace

std::string parallelPortName(std::uint16_t base) {
    char text[32];
    std::snprintf(text, sizeof text, "parallel port %04X", base);
    return text;
}

int ParallelLines::readDataIn() {
    readInputWord();
    return (m_ctx.state.inputWord & dataInInputBit) != 0 ? 1 : 0;
}

const ui::SystemError* ParallelLines::fault() const {
    return m_ctx.state.driverFault ? &m_ctx.state.lineFault : nullptr;
}

void ParallelLines::setImageBit(std::int32_t bit, bool high) {
    if (high) {
        m_ctx.state.outputImage |= bit;
    } else {
        m_ctx.state.outputImage &= ~bit;
    }
    writeOutputImage();
}

void ParallelLines::writeOutputImage() {
    keepAlive(m_ctx);
    if (!reachable()) {
        return;
    }
    auto value = static_cast<std::uint8_t>(m_ctx.state.outputImage & 0xFF);
    if (!m_ctx.portIo.writeData(m_ctx.port.parallelBase, value)) {
        reportFault("write data register");
    }
}

void ParallelLines::readInputWord() {
    keepAlive(m_ctx);
    if (!reachable()) {
        return;
    }
    std::uint16_t word = 0;
    if (m_ctx.portIo.readWord(m_ctx.port.parallelBase, word)) {
        m_ctx.state.inputWord = word;
    } else {
        reportFault("read status register");
    }
}

void ParallelLines::lowerLines() {
    auto writeLinesLow = [this] {
        m_ctx.state.outputImage &= ~lineBits;
        writeOutputImage();
    };
    if (m_ctx.port.directPortIo) {
        if (faultStands()) {
            return;
        }
        const std::uint16_t base = m_ctx.port.parallelBase;
        std::uint8_t control = 0;
        if (!m_ctx.portIo.readControl(base, control) ||
            !m_ctx.portIo.writeControl(base,
                                       static_cast<std::uint8_t>(control & ~controlDirectionBit))) {
            reportFault("control register");
            return;
        }
        delayMs(m_ctx, parallelSettleMs);
        writeLinesLow();
        delayMs(m_ctx, parallelSettleMs);
    } else if (m_ctx.port.portDriverReady) {
        // Without access the lines are left quietly; the next other access reports it.
        writeLinesLow();
    }
}

bool ParallelLines::reachable() {
    if (faultStands()) {
        return false;
    }
    if (!m_ctx.port.directPortIo && !m_ctx.port.portDriverReady) {
        reportFault(nullptr);
        return false;
    }
    return true;
}

bool ParallelLines::faultStands() {
    // The fault ended the dialog it happened in. A command in a dialog that is still
    // open (a sub-dialog was ended, the main dialog goes on) tries the port again, and
    // reports it again if it still fails.
    LinkState& state = m_ctx.state;
    if (state.driverFault && m_ctx.mainWindow != nullptr && !m_ctx.mainWindow->ended()) {
        state.driverFault = false;
    }
    return state.driverFault;
}

// Shown once, with the system's reason as its detail: the operation in progress runs to
// its end with dead lines, and the dialog named by the main window handle ends. call is
// null when there is no way to the port at all.
void ParallelLines::reportFault(const char* call) {
    LinkState& state = m_ctx.state;
    if (state.driverFault) {
        return;
    }
    state.driverFault = true;
    // The back-end's own account where it has one, named after the port.
    state.lineFault = call == nullptr ? ui::SystemError{{}, {}, 0, "no driver access to the port"}
                      : m_ctx.portIo.error().empty() ? ui::SystemError{{}, call, 0, {}}
                                                     : m_ctx.portIo.error();
    if (state.lineFault.subject.empty()) {
        state.lineFault.subject = parallelPortName(m_ctx.port.parallelBase);
    }
    reportSystemError(m_ctx, state.lineFault);
    (void)m_ctx.host.messageBox(nullptr, texts::DriverAccessError, texts::ErrorCaption);
    if (m_ctx.mainWindow != nullptr) {
        m_ctx.mainWindow->end(1);
    }
}

}  // namespace adapter
