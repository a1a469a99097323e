// The findings' table, the same on every system; the checks themselves are the system's
// own (port_checks.cpp on Linux, port_checks_win32.cpp on Windows).
#include <algorithm>
#include <cstdio>
#include <sstream>

#include "diagnostics/port_checks.h"

namespace diagnostics {

const char* statusName(Status status) {
    constexpr const char* names[] = {"ok", "info", "warning", "failed", "skipped"};
    return names[static_cast<int>(status)];
}

double revCounterLimitHz(double readCostNs) {
    return readCostNs > 0 ? 1e9 / (2.0 * readCostNs) : 0.0;
}

bool anyFailed(const std::vector<Finding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.status == Status::Failed; });
}

void writeFindings(std::ostream& out, const std::vector<Finding>& findings) {
    std::string shownPort = "\x01";
    for (const Finding& finding : findings) {
        if (finding.port != shownPort) {
            shownPort = finding.port;
            out << (shownPort.empty() ? "this machine" : shownPort) << '\n';
        }
        char head[64];
        std::snprintf(head, sizeof head, "  %-9s %-14s ", statusName(finding.status),
                      finding.check.c_str());
        out << head << finding.result << '\n';
        if (!finding.advice.empty()) {
            out << std::string(27, ' ') << "-> " << finding.advice << '\n';
        }
    }
}

std::string findingsText(const std::vector<Finding>& findings) {
    std::ostringstream text;
    writeFindings(text, findings);
    return text.str();
}

}  // namespace diagnostics
