// The yardstick of bench/startup_bench.sh: the smallest Qt Widgets program with a window and a
// label, reporting its first painted frame with ambrel's own hook (AMBREL_REPORT_FIRST_PAINT=1).

#include <QApplication>
#include <QLabel>

#include "app/first_paint_report.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Hello"));
    window.resize(600, 800);
    ambrel::reportFirstPaintIfRequested(window);
    window.show();
    return QApplication::exec();
}
