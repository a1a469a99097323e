// A PC side independent of the link module: drives the lines of a virtual serial port by hand.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <utility>

#include <gtest/gtest.h>

#include "sim/test_rig.h"

namespace sim::testing {

class BitBanger {
  public:
    explicit BitBanger(TestRig& rig) : m_rig(rig) {
        adapter::SerialOpenResult result{};
        m_lines = rig.serialPorts().open("COM2", result);
    }

    adapter::LineAccess& lines() { return *m_lines; }
    void waitUs(std::uint64_t us) { m_rig.clock().advanceNs(us * 1000); }
    void waitMs(std::uint64_t ms) { waitUs(ms * 1000); }

    // RESET low, then high with CLOCK as given, then past the firmware's boot time.
    void start(bool clockHigh = false) {
        m_lines->setReset(false);
        m_lines->setClock(clockHigh);
        waitMs(100);
        m_lines->setReset(true);
        waitMs(clockHigh ? 1 : 500);
    }
    void holdInReset() {
        m_lines->setClock(false);
        m_lines->setDataOut(false);
        m_lines->setReset(false);
        waitMs(100);
    }
    // Most significant bit first: DATA-OUT, CLOCK high, sample, CLOCK low.
    std::uint8_t exchange(std::uint8_t out, std::uint64_t halfBitUs = 10) {
        int in = 0;
        for (int bit = 7; bit >= 0; --bit) {
            m_lines->setDataOut(((out >> bit) & 1) != 0);
            waitUs(halfBitUs);
            m_lines->setClock(true);
            waitUs(halfBitUs);
            in = (in << 1) | m_lines->readDataIn();
            m_lines->setClock(false);
            waitUs(halfBitUs);
        }
        return static_cast<std::uint8_t>(in);
    }
    // Each byte, then its wait in ms; returns the answer during the last byte.
    std::uint8_t send(std::initializer_list<std::pair<std::uint8_t, std::uint64_t>> bytes) {
        std::uint8_t in = 0;
        for (const auto& [out, ms] : bytes) {
            in = exchange(out);
            waitMs(ms);
        }
        return in;
    }
    void pulseClock() {
        m_lines->setClock(true);
        waitMs(2);
        m_lines->setClock(false);
        waitMs(2);
    }

  private:
    TestRig& m_rig;
    std::unique_ptr<adapter::LineAccess> m_lines;
};

// Expects every DATA-IN change while CLOCK is low and apart from CLOCK edges; returns the count.
inline int dataInChangesAfterFallingEdges(const LineTrace& trace) {
    bool clockHigh = false;
    std::uint64_t lastClockNs = 0;
    int changes = 0;
    for (const LineEvent& event : trace.events()) {
        if (event.line == Line::Clock) {
            clockHigh = event.high;
            lastClockNs = event.timeNs;
        } else if (event.line == Line::DataIn) {
            ++changes;
            EXPECT_TRUE(!clockHigh && event.timeNs != lastClockNs) << "at " << event.timeNs;
        }
    }
    return changes;
}

}  // namespace sim::testing
