#pragma once

// A borderless push button that opens a web address in the default browser: the About view's
// links. A real button, so it takes focus and answers the keyboard and assistive technologies.

#include <QPushButton>
#include <QUrl>

namespace ambrel {

class LinkButton : public QPushButton {
    Q_OBJECT
  public:
    LinkButton(const QString& text, QUrl url, QWidget* parent = nullptr);

    QUrl url() const { return url_; }

  private:
    QUrl url_;
};

}  // namespace ambrel
