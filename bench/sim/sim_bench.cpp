// Line operations per second of the virtual adapters, in wall-clock time: how fast the
// simulator lets the procedures above it run.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>

#include "sim/test_rig.h"

namespace {

constexpr int operationCount = 2'000'000;

void report(const char* name, const std::function<void(int)>& operation) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < operationCount; ++i) {
        operation(i);
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::printf("%-40s %12.0f operations/s\n", name, operationCount / seconds.count());
}

}  // namespace

int main() {
    {
        sim::TestRig rig;
        adapter::SerialOpenResult result{};
        auto port = rig.serialPorts().open("COM2", result);
        port->setReset(true);
        // Long runs would fill the trace; the figure is for the lines themselves.
        rig.trace().setEnabled(false);
        report("serial: CLOCK toggle", [&](int i) { port->setClock((i & 1) != 0); });
        report("serial: DATA-IN read", [&](int) { port->readDataIn(); });
        report("serial: 4-operation bits (x4 = operations)", [&](int i) {
            port->setDataOut((i & 2) != 0);
            port->setClock(true);
            port->readDataIn();
            port->setClock(false);
        });
    }
    {
        sim::TestRig rig;
        rig.selectParallel();
        rig.trace().setEnabled(false);
        adapter::PortIo& io = rig.portIo();
        std::uint16_t word = 0;
        report("parallel: data register write", [&](int i) {
            io.writeData(0x378, static_cast<std::uint8_t>(0x08 | ((i & 1) << 1)));
        });
        report("parallel: status word read", [&](int) { io.readWord(0x378, word); });
    }
    return 0;
}
