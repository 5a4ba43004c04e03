// Drawing the widget's faces into an image, as the host does on every entry and the render
// command does once. Goal: a large face in at most 5 ms.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "widget/faces/earnings_widget.h"
#include "widget/sample_snapshot.h"

namespace {

using ambrel::WidgetFamily;

void ensureApplication() {
    static int argc = 1;
    static char name[] = "widget_faces_bench";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(argc, argv);
}

ambrel::EarningsEntry sampleEntry(bool connected) {
    return {.date = {},
            .snapshot = ambrel::sampleSnapshot(),
            .objectives = {},
            .isConnected = connected};
}

// One paint of a face into a reused image at the given device pixel ratio.
void drawFace(benchmark::State& state, WidgetFamily family, double scale) {
    ensureApplication();
    const ambrel::EarningsEntry entry = sampleEntry(true);
    const QSize size = ambrel::familySize(family);
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        ambrel::EarningsWidget::draw(&painter, nullptr, entry, family, QRectF(QPointF(0, 0), size));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_DrawSmallFace(benchmark::State& state) {
    drawFace(state, WidgetFamily::systemSmall, 1);
}
void BM_DrawMediumFace(benchmark::State& state) {
    drawFace(state, WidgetFamily::systemMedium, 1);
}
void BM_DrawLargeFace(benchmark::State& state) {
    drawFace(state, WidgetFamily::systemLarge, 1);
}
void BM_DrawLargeFaceAt2x(benchmark::State& state) {
    drawFace(state, WidgetFamily::systemLarge, 2);
}

// A layer surface's buffer on a screen of scale 2: what the desktop host draws into shared
// memory on a new entry (EarningsWidget::paint, as `render` draws).
void BM_PaintLargeFaceBufferAt2x(benchmark::State& state) {
    ensureApplication();
    const ambrel::EarningsEntry entry = sampleEntry(true);
    const QSize size = ambrel::familySize(WidgetFamily::systemLarge);
    QImage buffer(size * 2, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        ambrel::EarningsWidget::paint(buffer, 2, entry, WidgetFamily::systemLarge, size);
        benchmark::DoNotOptimize(buffer.constBits());
    }
}

// The layout alone, as the windows compute their accessible description on every entry.
void BM_LargeFaceDescription(benchmark::State& state) {
    ensureApplication();
    const ambrel::EarningsEntry entry = sampleEntry(true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ambrel::EarningsWidget::accessibleDescription(entry, WidgetFamily::systemLarge));
    }
}

BENCHMARK(BM_DrawSmallFace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawMediumFace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawLargeFace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawLargeFaceAt2x)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintLargeFaceBufferAt2x)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeFaceDescription)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
