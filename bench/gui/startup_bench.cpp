// Time from start to the shown main dialog, and memory at idle.
//
//   gui_startup_bench [RUNS]      (QT_QPA_PLATFORM=offscreen where there is no display)
//
// The first run includes what only a fresh process pays (Qt's platform plugin, fonts);
// the later runs build the session and window again in the same process.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gui/session.h"

namespace {

// Set by the first paint of the watched window.
class FirstPaint : public QObject {
  public:
    bool painted = false;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return false;
    }
};

double showSession(const std::string& directory) {
    QElapsedTimer timer;
    timer.start();
    gui::StartOptions options;
    options.simulate = true;
    options.directory = directory;
    std::ostringstream errors;
    gui::Session session(options, shell::findRealPorts(), errors);
    FirstPaint paint;
    session.window().installEventFilter(&paint);
    session.window().show();
    while (!paint.painted) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

std::string statusLine(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return line;
        }
    }
    return std::string(key) + " (not available)";
}

}  // namespace

int main(int argc, char* argv[]) {
    const auto processStart = std::chrono::steady_clock::now();
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const std::filesystem::path directory =
        std::filesystem::temp_directory_path() / "zek-gui-bench";
    std::filesystem::create_directories(directory);

    QApplication application(argc, argv);
    const double applicationMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - processStart)
            .count();
    const double firstWindowMs = showSession(directory.string());
    std::printf(
        "first start: QApplication %.1f ms + session and shown window %.1f ms = %.1f ms "
        "(target < 300 ms)\n",
        applicationMs, firstWindowMs, applicationMs + firstWindowMs);

    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        times.push_back(showSession(directory.string()));
    }
    std::sort(times.begin(), times.end());
    std::printf("later starts (%d): median %.1f ms, max %.1f ms\n", runs, times[times.size() / 2],
                times.back());

    // Idle: the window shown, nothing happening.
    gui::StartOptions options;
    options.simulate = true;
    options.directory = directory.string();
    std::ostringstream errors;
    gui::Session session(options, shell::findRealPorts(), errors);
    session.window().show();
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    std::printf("idle: %s, %s\n", statusLine("VmRSS").c_str(), statusLine("VmHWM").c_str());
    std::filesystem::remove_all(directory);
    return 0;
}
