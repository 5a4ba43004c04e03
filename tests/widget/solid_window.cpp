// A plain window of one colour, for the tests that check what covers what on a desktop.
//   solid_window '#RRGGBB'

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>

namespace {

class SolidWindow final : public QRasterWindow {
  public:
    explicit SolidWindow(QColor color) : color_(color) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(QRect(QPoint(0, 0), size()), color_);
    }

  private:
    QColor color_;
};

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    SolidWindow window(QColor(QString::fromLocal8Bit(argc > 1 ? argv[1] : "#ff00ff")));
    window.resize(400, 300);
    window.show();
    return QGuiApplication::exec();
}
