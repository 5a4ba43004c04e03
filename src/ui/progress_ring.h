#pragma once

// The circular gauge of one objective: a faint track, an arc from 12 o'clock clockwise with
// round caps, and the percentage in the middle; green once the objective is met.

#include <QColor>
#include <QWidget>

namespace ambrel {

class ProgressRing : public QWidget {
    Q_OBJECT
public:
    ProgressRing(double progress, double diameter, double lineWidth, double centerFontSize,
                 QColor idleTextColor, QWidget* parent = nullptr);

    double progress() const { return progress_; }
    void setProgress(double progress);

    // Paints the ring into a square of `diameter` at the painter's origin; the widget's faces
    // draw it this way too.
    static void paint(QPainter& painter, double progress, double diameter, double lineWidth,
                      double centerFontSize, const QColor& idleTextColor);

    static QColor accentColor();  // warm gold, sRGB 0.92 0.70 0.20

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateAccessibleText();

    double progress_;
    double diameter_;
    double lineWidth_;
    double centerFontSize_;
    QColor idleTextColor_;
};

}  // namespace ambrel
