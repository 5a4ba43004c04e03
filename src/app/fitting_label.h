#pragma once

// A one-line label that, when its text is wider than the room it gets, first shrinks its font
// down to `minimumScale` of the set size and only then elides. text() stays the whole text.

#include <QLabel>

namespace ambrel {

class FittingLabel final : public QLabel {
    Q_OBJECT
  public:
    explicit FittingLabel(double minimumScale, QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
    // The font size the text is drawn at within `width`.
    double fittedPixelSize(int width) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double minimumScale_;
};

}  // namespace ambrel
