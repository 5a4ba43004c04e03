#pragma once

// What the widget views draw on: a QPainter, plus an optional recording of every text, symbol
// and ring with its place and colour. The recording is the face's layout model: the host reads
// its texts aloud through the accessibility bus, and tests check texts without reading pixels.
//
// The canvas also decides how the entry's figures look, so that no view can forget it: as they
// are, dimmed when they are old, or as grey bars when they are only the built-in sample (which
// must never pass for the account's figures). Labels and notes are drawn as they are.

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

class QPainter;

namespace ambrel {

struct FaceItem {
    enum class Kind { text, symbol, ring, bar };
    Kind kind = Kind::text;
    QString text{};             // the text drawn; a symbol's name; a ring's centre text
    QRectF rect{};              // where it was drawn, in the face's coordinates
    QColor color{};             // text or symbol colour; for a ring, its idle text colour
    QFont font{};               // before shrinking
    double scale = 1;           // shrink factor of a text
    double progress = 0;        // a ring's progress
    double lineWidth = 0;       // a ring's stroke
    double centerFontSize = 0;  // a ring's percentage text
    double opacity = 1;         // a ring's, below 1 when dimmed
    QString spoken{};           // said instead of `text` when not empty
};

using FaceRecording = std::vector<FaceItem>;

// The texts of a recording in drawing order (ring percentages included), for a spoken
// description; symbols and placeholder bars carry no words.
QStringList spokenTexts(const FaceRecording& recording);

enum class FigureStyle {
    plain,
    dimmed,       // older than two refreshes: drawn faded, beside their age
    placeholder,  // the sample: grey bars where the figures would be, empty rings
};

class FaceCanvas {
  public:
    // How much of a dimmed figure's colour is left.
    static constexpr double kDimmedOpacity = 0.45;

    // Without a painter nothing is drawn and only the layout is recorded; without a recording
    // nothing is kept.
    FaceCanvas(QPainter* painter, FaceRecording* recording,
               FigureStyle figures = FigureStyle::plain);

    QPainter* painter() const { return painter_; }
    FigureStyle figureStyle() const { return figures_; }

    // One line inside `box`, vertically centred, aligned left, right or centred horizontally;
    // shrunk down to `minimumScale` and then elided to fit the box's width.
    void drawLine(const QString& text, const QRectF& box, Qt::Alignment alignment,
                  const QFont& font, const QColor& color, double minimumScale = 1);

    // A figure of the entry, laid out as drawLine lays out `text`: in the figure style. A
    // placeholder bar is as wide as the text would be.
    void drawFigure(const QString& text, const QRectF& box, Qt::Alignment alignment,
                    const QFont& font, const QColor& color, double minimumScale = 1,
                    const QString& spoken = {});

    // Wrapping text, each line centred in `box`.
    void drawWrapped(const QString& text, const QRectF& box, const QFont& font,
                     const QColor& color);

    void drawSymbol(const QString& name, const QRectF& box, const QColor& color);
    // A symbol that belongs to a figure (a change's arrow): faded with it, absent from a
    // placeholder.
    void drawFigureSymbol(const QString& name, const QRectF& box, const QColor& color);

    // The objective ring in the square of `diameter` at `topLeft`, in the figure style: a
    // placeholder is the faint track alone, without a percentage.
    void drawRing(double progress, const QPointF& topLeft, double diameter, double lineWidth,
                  double centerFontSize, const QColor& idleTextColor);

  private:
    void record(FaceItem item);
    QColor figureColor(QColor color) const;
    void drawBar(const QRectF& box, const QString& text, Qt::Alignment alignment,
                 const QFont& font);
    void drawPlaceholderRing(const QPointF& topLeft, double diameter, double lineWidth);

    QPainter* painter_;
    FaceRecording* recording_;
    FigureStyle figures_;
};

}  // namespace ambrel
