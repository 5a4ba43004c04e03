#include "app/first_paint_report.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace ambrel {
namespace {

class FirstPaintReporter final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Report once the frame is on its way out, i.e. after this paint has been flushed.
            QTimer::singleShot(0, this, [] {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::printf("first-paint %lld\n",
                            static_cast<long long>(
                                std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }
};

}  // namespace

void reportFirstPaintIfRequested(QWidget& window) {
    if (qEnvironmentVariableIntValue("AMBREL_REPORT_FIRST_PAINT") != 1) return;
    window.installEventFilter(new FirstPaintReporter(&window));
}

}  // namespace ambrel
