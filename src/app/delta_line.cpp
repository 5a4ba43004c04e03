#include "app/delta_line.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <cmath>

#include "app/localized.h"
#include "core/earnings/formatting.h"
#include "ui/colors.h"
#include "ui/fonts.h"
#include "ui/icons.h"

namespace ambrel {
namespace {
constexpr int kArrowSize = 8;
constexpr int kSpacing = 4;
constexpr double kNeutralShare = 0.005;
// Above the 4.5:1 a text needs: the small medium-weight glyphs are drawn anti-aliased, and their
// thin strokes seldom reach the full colour.
constexpr double kContrast = 5.0;
}  // namespace

DeltaLine::Trend DeltaLine::trendOf(Comparison comparison) {
    const double difference = comparison.current - comparison.previous;
    const bool tiny = comparison.previous != 0
                          ? std::abs(difference) < kNeutralShare * std::abs(comparison.previous)
                          : difference == 0;
    if (tiny || std::isnan(difference)) return Trend::neutral;
    return difference > 0 ? Trend::up : Trend::down;
}

QColor DeltaLine::colorOf(Trend trend, const QPalette& palette) {
    // The rows lie on the form's plates, which are drawn in the Base colour.
    const QColor background = palette.color(QPalette::Active, QPalette::Base);
    switch (trend) {
        case Trend::up:
            return readableOn(systemGreen(), background, kContrast);
        case Trend::down:
            return readableOn(systemRed(), background, kContrast);
        case Trend::neutral:
            break;
    }
    return readableOn(labelColor(LabelLevel::Secondary, palette), background, kContrast);
}

DeltaLine::DeltaLine(Comparison comparison, MetricKind kind, std::string currency, QWidget* parent)
    : QWidget(parent), comparison_(comparison) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);

    if (trend() != Trend::neutral) {
        arrow_ = new QLabel(this);
        arrow_->setObjectName(QStringLiteral("deltaArrow"));
        // TRANSLATORS: the accessible names of a change's arrow: the figure rose, or fell.
        arrow_->setAccessibleName(trend() == Trend::up ? localized("Up") : localized("Down"));
        layout->addWidget(arrow_, 0, Qt::AlignVCenter);
    }

    QFont font = textStyleFont(TextStyle::Caption);
    font.setWeight(QFont::Medium);
    font = withMonospacedDigits(font);
    addLabel(qtext(deltaText(kind, currency, comparison.current, comparison.previous)), font)
        ->setObjectName(QStringLiteral("deltaText"));
    // A neutral change rounds to 0%: saying so adds nothing.
    if (const auto percent = percentChangeText(comparison.current, comparison.previous);
        percent && trend() != Trend::neutral) {
        addLabel(qtext(*percent), font)->setObjectName(QStringLiteral("percentChangeText"));
    }
    applyColors();

    // The line keeps its natural size: a row never squeezes or elides it.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void DeltaLine::applyColors() {
    applying_ = true;
    // The parent's colours: this line's own foreground is what is being chosen.
    const QColor color =
        colorOf(trend(), parentWidget() != nullptr ? parentWidget()->palette() : palette());
    setForegroundColor(this, color);
    if (arrow_ != nullptr) {
        const QString symbol = trend() == Trend::up ? QStringLiteral("arrowtriangle.up.fill")
                                                    : QStringLiteral("arrowtriangle.down.fill");
        arrow_->setPixmap(
            tintedSymbol(symbol, qRound(scaledPixelSize(kArrowSize)), color, devicePixelRatioF()));
    }
    applying_ = false;
}

void DeltaLine::changeEvent(QEvent* event) {
    // A new desktop palette (dark mode switched on) brings another Base to keep contrast with.
    if (event->type() == QEvent::PaletteChange && !applying_) applyColors();
    QWidget::changeEvent(event);
}

QLabel* DeltaLine::addLabel(const QString& text, const QFont& font) {
    auto* label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setWordWrap(false);
    label->setAccessibleName(text);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    layout()->addWidget(label);
    return label;
}

}  // namespace ambrel
