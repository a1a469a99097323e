// While a long loop polls for a stop, user input to the busy dialogs is held back; Esc,
// the dialog's cancel button (2) or its close button count as the request to stop.
#pragma once

#include <QObject>

namespace gui {

class StopFilter : public QObject {
  public:
    // busyWindow: the top-level window of the dialog whose loop polls.
    explicit StopFilter(QWidget* busyWindow) : m_busyWindow(busyWindow) {}

    bool stopRequested() const { return m_stop; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* m_busyWindow;
    bool m_stop = false;
};

}  // namespace gui
