#pragma once

// One section of a grouped form: a header above, the rows in a rounded group separated by thin
// lines, and an optional footer below.

#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace ambrel {

class FormSection final : public QWidget {
    Q_OBJECT
  public:
    explicit FormSection(const QString& header, QWidget* parent = nullptr);

    // Appends a row to the group; the section takes ownership.
    void addRow(QWidget* row);
    void setFooter(const QString& text);

    QLabel* headerLabel() const { return header_; }
    QLabel* footerLabel() const { return footer_; }

  private:
    QLabel* header_;
    QLabel* footer_ = nullptr;
    QWidget* group_;
    QVBoxLayout* rows_;
};

}  // namespace ambrel
