#include "ui/labeled_field_row.h"

#include <QHBoxLayout>
#include <QLabel>

#include "ui/colors.h"
#include "ui/fonts.h"

namespace ambrel {

LabeledFieldRow::LabeledFieldRow(const QString& label, QWidget* content, QWidget* parent)
    : QWidget(parent), label_(new QLabel(label, this)), content_(content) {
    label_->setTextFormat(Qt::PlainText);
    label_->setFont(textStyleFont(TextStyle::Subheadline));
    label_->setFixedWidth(kLabelWidth);
    label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setLabelLevel(label_, LabelLevel::Secondary);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);
    layout->addWidget(label_, 0, Qt::AlignVCenter);
    // The field's column takes the remaining width; a field that does not grow sits at its start.
    const bool grows = content_->sizePolicy().horizontalPolicy() & QSizePolicy::ExpandFlag;
    layout->addWidget(content_, 1, grows ? Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
    // Rows span the form's width so their label columns line up.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    if (label.isEmpty()) return;
    label_->setBuddy(content_);
    content_->setAccessibleName(label);
    // A composite field is read through the widget that takes its focus (its text field).
    if (QWidget* proxy = content_->focusProxy(); proxy != nullptr) proxy->setAccessibleName(label);
}

}  // namespace ambrel
