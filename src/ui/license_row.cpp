#include "ui/license_row.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <utility>

#include "ui/colors.h"
#include "ui/fonts.h"
#include "ui/icons.h"
#include "ui/link_button.h"

namespace ambrel {
namespace {

constexpr int kChevronSize = 10;  // caption2
constexpr int kTurnMilliseconds = 200;

QLabel* makeLabel(const QString& text, const QFont& font, LabelLevel level) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    setLabelLevel(label, level);
    // Clicks on the texts belong to the row's button underneath.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

// A push button laid out like a row: QPushButton sizes itself from its own text and icon and
// would ignore the labels inside it.
class RowButton : public QPushButton {
  public:
    using QPushButton::QPushButton;
    QSize sizeHint() const override {
        return layout() != nullptr ? layout()->sizeHint() : QPushButton::sizeHint();
    }
    QSize minimumSizeHint() const override {
        return layout() != nullptr ? layout()->minimumSize() : QPushButton::minimumSizeHint();
    }
};

}  // namespace

LicenseRow::LicenseRow(License license, QWidget* parent)
    : QWidget(parent), license_(std::move(license)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildToggle());
    layout->addWidget(buildDetails());

    turn_ = new QVariantAnimation(this);
    turn_->setDuration(kTurnMilliseconds);
    turn_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(turn_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { showChevron(value.toReal()); });
    showChevron(0);
}

QAbstractButton* LicenseRow::buildToggle() {
    auto* button = new RowButton(this);
    button->setFlat(true);
    button->setAutoDefault(false);
    button->setAccessibleName(license_.name);
    button->setAccessibleDescription(license_.licenseType);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto* row = new QHBoxLayout(button);
    row->setContentsMargins(16, 10, 16, 10);
    row->setSpacing(8);

    chevron_ = new QLabel;
    chevron_->setFixedSize(kChevronSize + 4, kChevronSize + 4);
    chevron_->setAlignment(Qt::AlignCenter);
    chevron_->setAttribute(Qt::WA_TransparentForMouseEvents);
    row->addWidget(chevron_);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    texts->addWidget(makeLabel(
        license_.name, systemFont(textStylePixelSize(TextStyle::Subheadline), QFont::Medium),
        LabelLevel::Primary));
    texts->addWidget(
        makeLabel(license_.licenseType, textStyleFont(TextStyle::Caption), LabelLevel::Secondary));
    row->addLayout(texts, 1);

    if (license_.url) {
        auto* link = new LinkButton(QString(), *license_.url);
        link->setIcon(tintedSymbol(
            QStringLiteral("arrow.up.right.square"), textStylePixelSize(TextStyle::Caption),
            labelColor(LabelLevel::Secondary, palette()), devicePixelRatioF()));
        link->setIconSize(QSize(12, 12));
        link->setAccessibleName(license_.name + QStringLiteral(" web site"));
        row->addWidget(link);
    }

    connect(button, &QPushButton::clicked, this, [this] { setExpanded(!expanded_); });
    toggle_ = button;
    return button;
}

QWidget* LicenseRow::buildDetails() {
    details_ = new QWidget(this);
    auto* layout = new QVBoxLayout(details_);
    layout->setContentsMargins(16, 4, 16, 12);
    layout->setSpacing(10);

    auto* copyright = new QLabel(license_.copyright);
    copyright->setTextFormat(Qt::PlainText);  // "<year> <name>" placeholders are text
    copyright->setFont(textStyleFont(TextStyle::Caption));
    copyright->setWordWrap(true);
    setLabelLevel(copyright, LabelLevel::Secondary);
    layout->addWidget(copyright);

    auto* text = new QLabel(license_.licenseText);
    text->setFont(monospacedFont(10));
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(text);

    details_->setVisible(false);
    return details_;
}

void LicenseRow::setExpanded(bool expanded) {
    if (expanded == expanded_) return;
    expanded_ = expanded;
    details_->setVisible(expanded);
    turn_->stop();
    turn_->setStartValue(expanded ? 0.0 : 90.0);
    turn_->setEndValue(expanded ? 90.0 : 0.0);
    turn_->start();
    Q_EMIT expandedChanged(expanded);
}

void LicenseRow::showChevron(qreal degrees) {
    const qreal ratio = devicePixelRatioF();
    const QPixmap symbol = tintedSymbol(QStringLiteral("chevron.right"), kChevronSize,
                                        labelColor(LabelLevel::Tertiary, palette()), ratio);
    QPixmap turned(chevron_->size() * ratio);
    turned.setDevicePixelRatio(ratio);
    turned.fill(Qt::transparent);
    QPainter painter(&turned);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF box = chevron_->size();
    painter.translate(box.width() / 2, box.height() / 2);
    painter.rotate(degrees);
    painter.drawPixmap(QPointF(-kChevronSize / 2.0, -kChevronSize / 2.0), symbol);
    painter.end();
    chevron_->setPixmap(turned);
}

}  // namespace ambrel
