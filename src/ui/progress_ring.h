#pragma once

// The circular gauge of one objective: a faint track, an arc from 12 o'clock clockwise with
// round caps, and the percentage in the middle; green once the objective is met.
//
// The widget is diameter × diameter, the square the layout works with. The stroke is centred
// on the circle inscribed in it, so its outer half lies outside that square: the parent must
// leave overflowMargin() free around the ring, where the ring still draws.

#include <QColor>
#include <QString>
#include <QWidget>

class QPainter;

namespace ambrel {

class ProgressRing : public QWidget {
    Q_OBJECT
  public:
    ProgressRing(double progress, double diameter, double lineWidth, double centerFontSize,
                 QColor idleTextColor, QWidget* parent = nullptr);

    double progress() const { return progress_; }
    void setProgress(double progress);

    double diameter() const { return diameter_; }
    double lineWidth() const { return lineWidth_; }
    double centerFontSize() const { return centerFontSize_; }
    QColor idleTextColor() const { return idleTextColor_; }
    // The percentage's colour once the objective is met: the system green unless set, which
    // on a light background reads too faintly for a text.
    void setMetTextColor(const QColor& color);
    // Room the stroke takes beyond the widget's edges: half the line width, rounded up.
    int overflowMargin() const;

    // Paints the ring into a square of `diameter` at the painter's origin; the widget's faces
    // draw it this way too. The stroke is centred on the circle inscribed in that square, so
    // half the line width lies outside it: leave lineWidth/2 free around the square.
    static void paint(QPainter& painter, double progress, double diameter, double lineWidth,
                      double centerFontSize, const QColor& idleTextColor,
                      const QColor& metTextColor = QColor());

    static QColor accentColor();  // the brand yellow

    // Green once the objective is met (unclamped progress ≥ 1), gold otherwise.
    static QColor ringColor(double progress);
    // Progress limited to 0…1; NaN gives 0.
    static double clampedFraction(double progress);
    // The centre text: the display locale's percent of the unclamped progress, no fraction.
    static QString percentText(double progress);

  private:
    class OverflowPainter;

    void updateAccessibleText();

    double progress_;
    double diameter_;
    double lineWidth_;
    double centerFontSize_;
    QColor idleTextColor_;
    QColor metTextColor_;
};

}  // namespace ambrel
