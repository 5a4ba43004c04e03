// The yardstick of bench/startup_bench.sh: the smallest Qt Widgets program with a window and a
// label, reporting its first painted frame the same way ambrel does (AMBREL_REPORT_FIRST_PAINT=1).

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <chrono>
#include <cstdio>

namespace {

class FirstPaintReporter final : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
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

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Hello"));
    window.resize(600, 800);
    FirstPaintReporter reporter;
    if (qEnvironmentVariableIntValue("AMBREL_REPORT_FIRST_PAINT") == 1) {
        window.installEventFilter(&reporter);
    }
    window.show();
    return QApplication::exec();
}
