#include "app/delta_line.h"

#include <QHBoxLayout>
#include <QLabel>

#include "app/localized.h"
#include "core/earnings/formatting.h"
#include "ui/colors.h"
#include "ui/fonts.h"
#include "ui/icons.h"

namespace ambrel {
namespace {
constexpr int kArrowSize = 8;
constexpr int kSpacing = 4;
}  // namespace

DeltaLine::DeltaLine(Comparison comparison, MetricKind kind, std::string currency, QWidget* parent)
    : QWidget(parent), comparison_(comparison) {
    const QColor color = isUp() ? systemGreen() : systemRed();
    setForegroundColor(this, color);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);

    auto* arrow = new QLabel(this);
    arrow->setObjectName(QStringLiteral("deltaArrow"));
    const QString symbol = isUp() ? QStringLiteral("arrowtriangle.up.fill")
                                  : QStringLiteral("arrowtriangle.down.fill");
    arrow->setPixmap(tintedSymbol(symbol, kArrowSize, color, devicePixelRatioF()));
    layout->addWidget(arrow, 0, Qt::AlignVCenter);

    QFont font = textStyleFont(TextStyle::Caption);
    font.setWeight(QFont::Medium);
    font = withMonospacedDigits(font);
    addLabel(qtext(deltaText(kind, currency, comparison.current, comparison.previous)), font)
        ->setObjectName(QStringLiteral("deltaText"));
    if (const auto percent = percentChangeText(comparison.current, comparison.previous)) {
        addLabel(qtext(*percent), font)->setObjectName(QStringLiteral("percentChangeText"));
    }

    // The line keeps its natural size: a row never squeezes or elides it.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
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
