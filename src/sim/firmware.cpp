#include "sim/firmware.h"

namespace sim {

namespace {

constexpr std::uint8_t probeCommand = 0xFE;
constexpr std::uint8_t readCommand = 'U';
constexpr std::uint8_t writeCommand = 'V';
constexpr std::uint8_t pageCommand = 'W';
constexpr std::uint8_t loadCommand = 'Y';
constexpr std::uint8_t commitCommand = 'X';
constexpr std::uint8_t commitThird = '3';

}  // namespace

void Firmware::restart() {
    m_state = State::Idle;
    m_pageBuffer.fill(0xFF);
}

FirmwareReply Firmware::idle(std::uint8_t byte) {
    const std::uint64_t quick = m_config.byteResponseNs;
    switch (byte) {
        case probeCommand:
            // Tells the PC which kind of controller answers.
            return {
                m_config.kind == DeviceKind::OtherKind ? std::uint8_t{0xFD} : std::uint8_t{0xFE},
                quick};
        case readCommand:
            m_state = State::ReadAddress;
            break;
        case writeCommand:
            m_state = State::WriteAddress;
            break;
        case pageCommand:
            m_state = State::PageNumber;
            break;
        case loadCommand:
            m_state = State::PageOffset;
            break;
        case commitCommand:
            m_state = State::CommitU;
            break;
        default:
            break;  // fill bytes (0x00, the repeated "3") and anything unknown
    }
    // Bytes whose answer the PC ignores are echoed.
    return {byte, quick};
}

FirmwareReply Firmware::receive(std::uint8_t byte) {
    const std::uint64_t quick = m_config.byteResponseNs;
    const State state = m_state;
    m_state = State::Idle;
    switch (state) {
        case State::Idle:
            return idle(byte);
        case State::ReadAddress:
            return {m_setup[byte], quick};
        case State::WriteAddress:
            m_address = byte;
            m_state = State::WriteValue;
            return {byte, quick};
        case State::WriteValue:
            if (m_config.setupWritesStick) {
                m_setup[m_address] = byte;
            }
            // The answer is read back from the memory once the byte is stored.
            return {m_setup[m_address], m_config.setupStoreNs};
        case State::PageNumber:
            m_page = byte;
            m_pageBuffer.fill(0xFF);
            m_flash.pageLog().push_back({PageLogEntry::Kind::Select, m_page});
            return {byte, quick};
        case State::PageOffset:
            m_offset = byte;
            m_state = State::PageData;
            return {byte, quick};  // the offset's echo, checked by the PC
        case State::PageData:
            m_pageBuffer[m_offset % flashPageSize] = byte;
            return {byte, quick};  // the data's echo
        case State::CommitU:
            if (byte == readCommand) {
                m_state = State::CommitThree;
            }
            return {byte, quick};
        case State::CommitThree:
            if (byte != commitThird) {
                return {byte, quick};
            }
            m_flash.writePage(m_page, m_pageBuffer);
            m_flash.pageLog().push_back({PageLogEntry::Kind::Commit, m_page});
            m_pageBuffer.fill(0xFF);
            // The page number confirms the commit once the page is programmed.
            return {static_cast<std::uint8_t>(m_page), m_config.pageCommitNs};
    }
    return {byte, quick};
}

}  // namespace sim
