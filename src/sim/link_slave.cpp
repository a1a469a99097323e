#include "sim/link_slave.h"

#include <algorithm>

namespace sim {

void LinkSlave::restart(std::uint64_t timeNs) {
    m_bits = 0;
    m_received = m_sending = m_lastByte = 0;
    m_replyPending = false;
    m_busyUntilNs = timeNs;
    m_dataIn.cancel(replyTag);
    m_dataIn.setAt(timeNs + dataInDelayNs, false);
}

void LinkSlave::risingClock(std::uint64_t timeNs, bool dataOut) {
    if (m_bits == 0) {
        // A new byte starts: the answer goes out only if it was on DATA-IN by this edge. A
        // rushed firmware's register still holds the byte it last received, and the late
        // answer is lost (a write collision on a real shift register).
        if (m_replyPending && m_replyReadyNs + dataInDelayNs <= timeNs) {
            m_sending = m_reply;
        } else {
            m_sending = m_lastByte;
            m_dataIn.cancel(replyTag);
        }
        m_replyPending = false;
    }
    // Samples DATA-OUT on the rising CLOCK edge, most significant bit first.
    m_received = static_cast<std::uint8_t>((m_received << 1) | (dataOut ? 1 : 0));
    if (++m_bits < 8) {
        return;
    }
    m_lastByte = m_received;
    // The firmware works on one byte at a time; a byte that arrives while it is still busy
    // waits in the receive buffer.
    const std::uint64_t start = std::max(timeNs, m_busyUntilNs);
    const FirmwareReply reply = m_firmware.receive(m_received);
    m_reply = reply.value;
    m_replyReadyNs = start + reply.workNs;
    m_busyUntilNs = m_replyReadyNs;
    m_replyPending = true;
}

void LinkSlave::fallingClock(std::uint64_t timeNs) {
    if (m_bits == 0) {
        return;  // the pulse rose before the firmware listened
    }
    const std::uint64_t changeNs = timeNs + dataInDelayNs;
    if (m_bits < 8) {
        // Changes DATA-IN after the falling edge: the next bit, most significant first.
        m_dataIn.setAt(changeNs, ((m_sending >> (7 - m_bits)) & 1) != 0);
        return;
    }
    m_bits = 0;
    // After the last bit DATA-IN shows the top bit of the register: the answer if it is
    // already loaded, otherwise the received byte until the answer arrives (and shows after
    // the same output delay).
    if (m_replyReadyNs <= timeNs) {
        m_dataIn.setAt(changeNs, (m_reply & 0x80) != 0);
    } else {
        m_dataIn.setAt(changeNs, (m_lastByte & 0x80) != 0);
        m_dataIn.setAt(m_replyReadyNs + dataInDelayNs, (m_reply & 0x80) != 0, replyTag);
    }
}

}  // namespace sim
