// The doctor's report, the same on every system; the checks themselves are the system's
// own (doctor.cpp on Linux, doctor_win32.cpp on Windows).
#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/doctor.h"

namespace cli {

namespace {

constexpr double nsPerSecond = 1e9;

}  // namespace

const char* checkStatusName(CheckStatus status) {
    switch (status) {
        case CheckStatus::Ok:
            return "ok";
        case CheckStatus::Info:
            return "info";
        case CheckStatus::Warning:
            return "warning";
        case CheckStatus::Failed:
            return "failed";
        case CheckStatus::Skipped:
            return "skipped";
    }
    return "info";
}

double revCounterLimitHz(double readCostNs) {
    return readCostNs > 0 ? nsPerSecond / (2.0 * readCostNs) : 0.0;
}

int runDoctor(const DoctorOptions& options, std::ostream& out, bool json) {
    const std::vector<DoctorCheck> checks = runDoctorChecks(options);
    const bool failed = std::any_of(checks.begin(), checks.end(), [](const DoctorCheck& c) {
        return c.status == CheckStatus::Failed;
    });
    if (json) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const DoctorCheck& check : checks) {
            list.push_back({{"port", check.port},
                            {"check", check.check},
                            {"status", checkStatusName(check.status)},
                            {"result", check.result},
                            {"advice", check.advice}});
        }
        nlohmann::ordered_json report{{"ok", !failed}, {"checks", std::move(list)}};
        out << report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        return failed ? 1 : 0;
    }
    std::string shownPort = "\x01";
    for (const DoctorCheck& check : checks) {
        if (check.port != shownPort) {
            shownPort = check.port;
            out << (shownPort.empty() ? "this machine" : shownPort) << '\n';
        }
        char head[64];
        std::snprintf(head, sizeof head, "  %-9s %-14s ", checkStatusName(check.status),
                      check.check.c_str());
        out << head << check.result << '\n';
        if (!check.advice.empty()) {
            out << std::string(27, ' ') << "-> " << check.advice << '\n';
        }
    }
    out << (failed ? "Some checks failed.\n" : "No check failed.\n");
    return failed ? 1 : 0;
}

}  // namespace cli
