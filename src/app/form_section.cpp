#include "app/form_section.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "ui/colors.h"
#include "ui/fonts.h"

namespace ambrel {
namespace {

constexpr int kGroupRadius = 8;
constexpr int kRowInset = 12;

// The rounded plate behind a section's rows, one step lighter than the window in light themes
// (Base against Window), with a hairline edge and separators between rows.
class RoundedGroup final : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor edge = labelColor(LabelLevel::Quaternary, palette());
        painter.setPen(QPen(edge, 1));
        painter.setBrush(palette().color(QPalette::Base));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kGroupRadius,
                                kGroupRadius);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(edge, 1));
        const QObjectList& kids = children();
        bool first = true;
        for (const QObject* kid : kids) {
            const auto* row = qobject_cast<const QWidget*>(kid);
            if (row == nullptr || row->isHidden()) continue;
            if (!first) {
                const int y = row->geometry().top() - 1;  // the spacing pixel above the row
                painter.drawLine(kRowInset, y, width() - kRowInset, y);
            }
            first = false;
        }
    }
};

QLabel* makeLabel(const QString& text, TextStyle style, LabelLevel level, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(textStyleFont(style));
    label->setAccessibleName(text);
    setLabelLevel(label, level);
    return label;
}

}  // namespace

FormSection::FormSection(const QString& header, QWidget* parent)
    : QWidget(parent), group_(new RoundedGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    header_ = makeLabel(header, TextStyle::Headline, LabelLevel::Primary, this);
    header_->setObjectName(QStringLiteral("sectionHeader"));
    header_->setContentsMargins(kRowInset / 2, 0, 0, 0);
    layout->addWidget(header_);

    rows_ = new QVBoxLayout(group_);
    rows_->setContentsMargins(kRowInset, 0, kRowInset, 0);
    rows_->setSpacing(1);  // room for the separator line
    layout->addWidget(group_);
}

void FormSection::addRow(QWidget* row) {
    rows_->addWidget(row);
}

void FormSection::setFooter(const QString& text) {
    if (footer_ == nullptr) {
        footer_ = makeLabel(text, TextStyle::Caption, LabelLevel::Secondary, this);
        footer_->setObjectName(QStringLiteral("sectionFooter"));
        footer_->setContentsMargins(kRowInset / 2, 0, 0, 0);
        layout()->addWidget(footer_);
    }
    footer_->setText(text);
    footer_->setAccessibleName(text);
}

}  // namespace ambrel
