#pragma once

// A form row: a 150 px right-aligned label, 12 px, then the field taking the rest of the width.
// A non-empty label also names the field for assistive technologies.

#include <QString>
#include <QWidget>

class QLabel;

namespace ambrel {

class LabeledFieldRow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kLabelWidth = 150;
    static constexpr int kSpacing = 12;

    LabeledFieldRow(const QString& label, QWidget* content, QWidget* parent = nullptr);

    QLabel* label() const { return label_; }
    QWidget* content() const { return content_; }

  private:
    QLabel* label_;
    QWidget* content_;
};

}  // namespace ambrel
