// Line operations per second of each back-end measurable here: the recording fake, the
// virtual adapters, and the system call itself on a pseudo-terminal (which has no modem
// lines, so the call fails; its cost is that of the round trip into the kernel).
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include "adapter/adapter.h"
#include "adapter/modem_lines.h"
#include "adapter/testing/recording_lines.h"
#include "sim/test_rig.h"

namespace {

void report(const char* name, int operations, const std::function<void(int)>& run) {
    auto start = std::chrono::steady_clock::now();
    run(operations);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%-46s %12.0f ops/s  %8.1f ns/op\n", name, operations / took.count(),
                took.count() * 1e9 / operations);
}

}  // namespace

int main() {
    {
        adapter::testing::RecordingRig rig;
        (void)adapter::openSerialPort(rig.ctx);
        report("recording, serial line change", 1'000'000, [&](int n) {
            for (int i = 0; i < n; ++i) {
                adapter::setClock(rig.ctx, (i & 1) != 0);
            }
        });
    }
    {
        sim::TestRig rig;
        (void)adapter::detectAdapter(rig.link());
        rig.trace().setEnabled(false);
        report("virtual serial adapter, CLOCK change", 1'000'000, [&](int n) {
            for (int i = 0; i < n; ++i) {
                adapter::setClock(rig.link(), (i & 1) != 0);
            }
        });
        report("virtual serial adapter, DATA-IN read", 1'000'000, [&](int n) {
            for (int i = 0; i < n; ++i) {
                (void)adapter::readDataIn(rig.link());
            }
        });
        rig.selectParallel();
        report("virtual parallel adapter, CLOCK change", 1'000'000, [&](int n) {
            for (int i = 0; i < n; ++i) {
                adapter::setClock(rig.link(), (i & 1) != 0);
            }
        });
    }
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) {
        int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
        if (slave >= 0) {
            ui::SystemError error;
            report("pty, ioctl(TIOCMBIS) (fails: no modem lines)", 200'000, [&](int n) {
                for (int i = 0; i < n; ++i) {
                    (void)adapter::modem::setLine(slave, adapter::modem::Line::Rts, true, error);
                }
            });
            std::uint32_t status = 0;
            report("pty, ioctl(TIOCMGET) (fails: no modem lines)", 200'000, [&](int n) {
                for (int i = 0; i < n; ++i) {
                    (void)adapter::modem::readStatus(slave, status, error);
                }
            });
            close(slave);
        }
        close(master);
    }
    return 0;
}
