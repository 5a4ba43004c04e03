#include "app/trend_legend.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

#include "app/localized.h"
#include "ui/colors.h"
#include "ui/fonts.h"

namespace ambrel {
namespace {

constexpr int kSwatchWidth = 14;
constexpr int kItemSpacing = 16;
constexpr int kSwatchSpacing = 5;
constexpr double kPartialOpacity = 0.4;  // as the chart draws the day in progress

// The small picture before a legend text: a dashed line, or a lighter outlined bar.
class Swatch final : public QWidget {
  public:
    enum class Kind { averageLine, partialBar };

    Swatch(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
        setFixedSize(kSwatchWidth, qRound(scaledPixelSize(10)));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (kind_ == Kind::averageLine) {
            painter.setPen(QPen(labelColor(LabelLevel::Secondary, palette()), 1, Qt::DashLine));
            const double y = height() / 2 + 0.5;
            painter.drawLine(QPointF(0, y), QPointF(width(), y));
            return;
        }
        const QColor bar = palette().color(QPalette::Highlight);
        QColor partial = bar;
        partial.setAlphaF(kPartialOpacity);
        painter.setPen(QPen(bar, 1));
        painter.setBrush(partial);
        painter.drawRoundedRect(QRectF(4.5, 0.5, width() - 9, height() - 1), 1.5, 1.5);
    }

  private:
    Kind kind_;
};

void addItem(QHBoxLayout* layout, Swatch::Kind kind, const QString& text, const QString& name,
             QWidget* parent) {
    auto* swatch = new Swatch(kind, parent);
    layout->addWidget(swatch, 0, Qt::AlignVCenter);
    layout->addSpacing(kSwatchSpacing);
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(textStyleFont(TextStyle::Caption));
    label->setAccessibleName(text);
    setForegroundColor(label, readableOn(labelColor(LabelLevel::Secondary, parent->palette()),
                                         parent->palette().color(QPalette::Base)));
    layout->addWidget(label, 0, Qt::AlignVCenter);
}

}  // namespace

TrendLegend::TrendLegend(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("trendLegend"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    addItem(layout, Swatch::Kind::averageLine, localized("30-day average"),
            QStringLiteral("averageLegend"), this);
    layout->addSpacing(kItemSpacing);
    addItem(layout, Swatch::Kind::partialBar, localized("so far today"),
            QStringLiteral("todayLegend"), this);
    layout->addStretch(1);
}

}  // namespace ambrel
