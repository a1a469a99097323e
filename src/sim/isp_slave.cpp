#include "sim/isp_slave.h"

namespace sim {

namespace {

constexpr std::uint8_t enableFirst = 0xAC;
constexpr std::uint8_t enableSecond = 0x53;
constexpr std::uint8_t readSignature = 0x30;
constexpr std::uint8_t readLockOrFuseHigh = 0x58;
constexpr std::uint8_t readFuseLow = 0x50;
constexpr std::uint8_t readCalibration = 0x38;

}  // namespace

void IspSlave::enterReset(std::uint64_t timeNs) {
    m_bit = ((m_config.frameOffsetBits % 32) + 32) % 32;
    m_frame.fill(0);
    m_sending = 0;
    m_enabled = false;
    m_frames = 0;
    m_dataIn.setAt(timeNs + dataInDelayNs, false);
}

std::uint8_t IspSlave::signatureByte(int address) {
    if (address > 2) {
        return 0xFF;
    }
    const bool familyOne = m_config.familyOne == FamilyOneReads::Always ||
                           (m_config.familyOne == FamilyOneReads::Once &&
                            m_familyOnePasses < m_config.familyOnePasses);
    if (familyOne) {
        // A locked processor reads 00 01 02 in place of its signature; the pass ends with
        // the part number.
        if (address == 2) {
            ++m_familyOnePasses;
        }
        return static_cast<std::uint8_t>(address);
    }
    if (m_config.signatureErased) {
        return 0xFF;
    }
    return m_config.signature[static_cast<std::size_t>(address)];
}

std::uint8_t IspSlave::readAnswer() {
    const std::uint8_t op = m_frame[0];
    const std::uint8_t second = m_frame[1];
    if (op == readSignature) {
        return signatureByte(m_frame[2] & 0x03);
    }
    if (op == readLockOrFuseHigh && second == 0x00) {
        return m_config.lockBits;
    }
    if (op == readLockOrFuseHigh && second == 0x08) {
        return m_config.fuseHigh;
    }
    if (op == readFuseLow && second == 0x00) {
        return m_config.fuseLow;
    }
    if (op == readCalibration) {
        return m_config.calibration;
    }
    return m_frame[2];
}

std::uint8_t IspSlave::answerForByte(int index) {
    if (m_config.neverEchoes) {
        return 0x00;
    }
    if (!m_enabled) {
        // Before Programming Enable only its own echo comes back: the second byte during the
        // third, and only when the processor's framing saw 0xAC as the first byte.
        return (index == 2 && m_frame[0] == enableFirst) ? m_frame[1] : std::uint8_t{0x00};
    }
    // In programming mode every byte echoes the one before; a read answers in the fourth.
    if (index == 3 && m_frame[0] != enableFirst) {
        return readAnswer();
    }
    return m_frame[static_cast<std::size_t>(index - 1)];
}

void IspSlave::risingClock(std::uint64_t /*timeNs*/, bool dataOut) {
    // Samples DATA-OUT on the rising CLOCK edge into the byte of its own frame.
    std::uint8_t& current = m_frame[static_cast<std::size_t>(m_bit / 8)];
    current = static_cast<std::uint8_t>((current << 1) | (dataOut ? 1 : 0));
    ++m_bit;
    if (m_bit % 8 != 0) {
        return;
    }
    if (m_bit == 32) {
        // An instruction is complete; Programming Enable in step opens programming mode.
        if (m_frame[0] == enableFirst && m_frame[1] == enableSecond && !m_config.neverEchoes) {
            m_enabled = true;
        }
        ++m_frames;
        m_bit = 0;
        m_sending = 0x00;
        m_frame.fill(0);
        return;
    }
    m_sending = answerForByte(m_bit / 8);
}

void IspSlave::fallingClock(std::uint64_t timeNs) {
    // Shifts its answer out on DATA-IN after the falling edge, most significant bit first;
    // after a byte boundary that is the next byte's top bit.
    const int position = m_bit % 8;
    m_dataIn.setAt(timeNs + dataInDelayNs, ((m_sending >> (7 - position)) & 1) != 0);
}

}  // namespace sim
