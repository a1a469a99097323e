// A recording back-end for tests: serial lines, a serial port factory, parallel
// registers and a virtual clock that append every operation, with its time, to one
// shared log. DATA-IN answers from a queue of bits that moves on each falling CLOCK
// edge, as a controller shifts its answer; DSR follows DTR unless told otherwise.
//
//   RecordingRig rig;                       // serial COM2, everything recorded
//   rig.recorder.queue("FE");               // DATA-IN bits for the next exchange
//   clink::exchangeByte(rig.ctx, 0xA5);
//   EXPECT_EQ(rig.trace(), (std::vector<std::string>{"DATA-OUT high", ...}));
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "adapter/clock.h"
#include "adapter/link_context.h"
#include "adapter/port_io.h"
#include "adapter/serial_port.h"
#include "ui/recording_host.h"

namespace adapter::testing {

struct Event {
    std::string what;  // "CLOCK high", "read DATA-IN", "data 0x0B", "wait 100 ms", …
    bool read;         // a read: changes no line
};

enum class DsrMode { FollowsDtr, Missing, StuckOn };

class Recorder;

// Virtual time: each recorded operation costs operationCostNs, a wait jumps to its end.
class RecordingClock final : public Clock {
  public:
    explicit RecordingClock(Recorder& recorder) : m_recorder(recorder) {}
    std::uint64_t nowNs() override { return m_nowNs; }
    void waitUntilNs(std::uint64_t deadlineNs) override;
    // One recorded wait, however it is served.
    void waitServingUntilNs(std::uint64_t deadlineNs, std::uint64_t sliceNs,
                            const std::function<void()>& serve) override;
    void advanceNs(std::uint64_t ns) { m_nowNs += ns; }
    void setNowNs(std::uint64_t ns) { m_nowNs = ns; }

  private:
    Recorder& m_recorder;
    std::uint64_t m_nowNs = 0;
};

// The shared log and the scripted adapter behind every recording back-end.
class Recorder {
  public:
    Recorder() : clock(*this) {}
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    RecordingClock clock;
    std::vector<Event> events;
    std::uint64_t operationCostNs = 1000;
    // Every operation that would be a system call on a real port (line change, read,
    // register access, open); waits are not counted.
    int operations = 0;

    // DATA-IN: the front of answerBits, or idleDataIn when the queue is empty.
    std::deque<int> answerBits;
    int idleDataIn = 0;
    DsrMode dsr = DsrMode::FollowsDtr;
    // The serial port vanishes (failed() turns true) once this many operations were made
    // on it; -1 never.
    int serialFailAfter = -1;
    // Parallel registers: every access fails while set, with this as the back-end's reason.
    bool portIoFails = false;
    ui::SystemError portIoError;
    std::uint8_t controlRegister = 0x2C;

    // Line levels as last driven, on whichever back-end.
    bool dtr = false;
    bool rts = false;
    std::uint8_t dataRegister = 0;
    std::uint16_t lastBase = 0;  // the base address of the last register access

    // The controller's answers as hex bytes ("00 FE"): byte k comes back while byte k+1
    // goes out.
    void queue(const std::string& bytes);
    int dataIn() const { return answerBits.empty() ? idleDataIn : answerBits.front(); }

    void record(std::string what, bool read = false) { events.push_back({std::move(what), read}); }
    // The controller puts its next bit on DATA-IN after the falling edge.
    void clockFell() {
        if (!answerBits.empty()) {
            answerBits.pop_front();
        }
    }

    // The log with consecutive identical reads folded into "read DATA-IN x5".
    std::vector<std::string> trace() const;
    // Line changes and waits only.
    std::vector<std::string> changes() const;
    int count(const std::string& what) const;
    void clear() {
        events.clear();
        operations = 0;
    }
};

// The serial adapter's modem lines.
class RecordingSerialLines final : public LineAccess {
  public:
    explicit RecordingSerialLines(Recorder& recorder) : m_recorder(recorder) {}
    ~RecordingSerialLines() override;
    void setClock(bool high) override;
    void setDataOut(bool high) override;
    void setReset(bool high) override { (void)change("RESET", high); }
    int readDataIn() override;
    bool readLoopBack() override;
    std::uint32_t readModemStatus() override { return readModemStatus("read modem status"); }
    const ui::SystemError* fault() const override { return m_failed ? &m_fault : nullptr; }

  private:
    // One read of the modem status, recorded as what.
    std::uint32_t readModemStatus(const char* what);
    bool operate();
    // One line change, recorded; false once the port is gone.
    bool change(const char* line, bool high);

    Recorder& m_recorder;
    int m_operations = 0;
    bool m_failed = false;
    ui::SystemError m_fault;
};

class RecordingSerialPorts final : public SerialPortFactory {
  public:
    explicit RecordingSerialPorts(Recorder& recorder) : m_recorder(recorder) {}
    using SerialPortFactory::open;
    std::unique_ptr<LineAccess> open(const std::string& deviceName, SerialOpenResult& result,
                                     ui::SystemError& error) override;

    SerialOpenResult nextResult = SerialOpenResult::Ok;
    // The error of a failed opening; its subject is the device name.
    ui::SystemError nextError{{}, "open", 2, "No such file or directory"};
    int opens = 0;

  private:
    Recorder& m_recorder;
};

class RecordingPortIo final : public PortIo {
  public:
    explicit RecordingPortIo(Recorder& recorder) : m_recorder(recorder) {}
    bool writeData(std::uint16_t base, std::uint8_t value) override;
    bool readWord(std::uint16_t base, std::uint16_t& word) override;
    bool readControl(std::uint16_t base, std::uint8_t& value) override;
    bool writeControl(std::uint16_t base, std::uint8_t value) override;

  private:
    // The cost of one register access, recorded as done, or as what failed while they fail.
    bool access(std::uint16_t base, const std::string& what, const std::string& done, bool read);
    Recorder& m_recorder;
};

// The recording host that also keeps the log lines.
struct RecordingLinkHost final : ui::RecordingHost {
    void logEvent(std::string_view line) override { log.emplace_back(line); }
    std::vector<std::string> log;
};

// Everything a LinkContext needs, recorded: serial port COM2 selected, no port open.
struct RecordingRig {
    RecordingRig();
    RecordingRig(const RecordingRig&) = delete;
    RecordingRig& operator=(const RecordingRig&) = delete;

    void selectParallel(bool directPortIo = true);
    std::vector<std::string> trace() const { return recorder.trace(); }
    std::vector<std::string> changes() const { return recorder.changes(); }

    Recorder recorder;
    RecordingSerialPorts serialPorts{recorder};
    RecordingPortIo portIo{recorder};
    RecordingLinkHost host;
    PortSelection port;
    LinkState state;
    std::string messageText;
    LinkContext ctx;
};

}  // namespace adapter::testing
