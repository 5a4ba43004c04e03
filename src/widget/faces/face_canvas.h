#pragma once

// What the widget views draw on: a QPainter, plus an optional recording of every text, symbol
// and ring with its place and colour. The recording is the face's layout model: the host reads
// its texts aloud through the accessibility bus, and tests check texts without reading pixels.

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

class QPainter;

namespace ambrel {

struct FaceItem {
    enum class Kind { text, symbol, ring };
    Kind kind = Kind::text;
    QString text{};             // the text drawn; a symbol's name; a ring's centre text
    QRectF rect{};              // where it was drawn, in the face's coordinates
    QColor color{};             // text or symbol colour; for a ring, its idle text colour
    QFont font{};               // before shrinking
    double scale = 1;           // shrink factor of a text
    double progress = 0;        // a ring's progress
    double lineWidth = 0;       // a ring's stroke
    double centerFontSize = 0;  // a ring's percentage text
};

using FaceRecording = std::vector<FaceItem>;

// The texts of a recording in drawing order (ring percentages included), for a spoken
// description; symbols carry no words.
QStringList spokenTexts(const FaceRecording& recording);

class FaceCanvas {
  public:
    // Without a painter nothing is drawn and only the layout is recorded; without a recording
    // nothing is kept.
    FaceCanvas(QPainter* painter, FaceRecording* recording);

    QPainter* painter() const { return painter_; }

    // One line inside `box`, vertically centred, aligned left or centred horizontally; shrunk
    // down to `minimumScale` and then elided to fit the box's width.
    void drawLine(const QString& text, const QRectF& box, Qt::Alignment alignment,
                  const QFont& font, const QColor& color, double minimumScale = 1);

    // Wrapping text, each line centred in `box`.
    void drawWrapped(const QString& text, const QRectF& box, const QFont& font,
                     const QColor& color);

    void drawSymbol(const QString& name, const QRectF& box, const QColor& color);

    // The objective ring in the square of `diameter` at `topLeft`.
    void drawRing(double progress, const QPointF& topLeft, double diameter, double lineWidth,
                  double centerFontSize, const QColor& idleTextColor);

  private:
    void record(FaceItem item);

    QPainter* painter_;
    FaceRecording* recording_;
};

}  // namespace ambrel
