#pragma once

// An indeterminate progress spinner: spokes of fading opacity that turn while it is visible.
// The timer runs only while the spinner is on screen, so hidden spinners cost nothing.

#include <QBasicTimer>
#include <QWidget>

namespace ambrel {

class BusyIndicator final : public QWidget {
    Q_OBJECT
  public:
    // `diameter` in device-independent pixels: 16 in toolbars and buttons, 32 for a page.
    explicit BusyIndicator(int diameter, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    bool isSpinning() const { return timer_.isActive(); }

    // Spokes in this colour whatever the widget's state; without one, the palette's window
    // text of the current state (which is faint while disabled).
    void setColor(const QColor& color);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    int diameter_;
    int step_ = 0;
    QColor color_;
    QBasicTimer timer_;
};

}  // namespace ambrel
