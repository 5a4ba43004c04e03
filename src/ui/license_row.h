#pragma once

// One credited component in the About view's licenses tab: a row that expands to show the
// component's copyright and licence text. Each row keeps its own expanded state.

#include <QWidget>

#include "ui/license.h"

class QAbstractButton;
class QLabel;
class QVariantAnimation;

namespace ambrel {

class LicenseRow : public QWidget {
    Q_OBJECT
  public:
    explicit LicenseRow(License license, QWidget* parent = nullptr);

    const License& license() const { return license_; }
    bool isExpanded() const { return expanded_; }
    void setExpanded(bool expanded);

    QAbstractButton* toggleButton() const { return toggle_; }
    QWidget* details() const { return details_; }

  Q_SIGNALS:
    void expandedChanged(bool expanded);

  private:
    QAbstractButton* buildToggle();
    QWidget* buildDetails();
    void showChevron(qreal degrees);

    License license_;
    bool expanded_ = false;
    QAbstractButton* toggle_ = nullptr;
    QLabel* chevron_ = nullptr;
    QWidget* details_ = nullptr;
    QVariantAnimation* turn_ = nullptr;
};

}  // namespace ambrel
