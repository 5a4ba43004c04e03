#pragma once

// Start-up measurement for bench/startup_bench.sh: with AMBREL_REPORT_FIRST_PAINT=1 the program
// prints "first-paint <ns since the epoch>" once its window has been painted, then quits.

class QWidget;

namespace ambrel {

void reportFirstPaintIfRequested(QWidget& window);

}  // namespace ambrel
