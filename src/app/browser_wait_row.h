#pragma once

// What a sign-in shows while the user finishes it in the browser: "Waiting for your browser…",
// "Copy link" (the consent page's address, for a browser that did not open or opened
// elsewhere) and "Cancel", which stops the wait at once. Shown only while a sign-in waits.

#include <QWidget>

class QLabel;
class QPushButton;

namespace ambrel {

class AppState;

class BrowserWaitRow final : public QWidget {
    Q_OBJECT
  public:
    explicit BrowserWaitRow(AppState& state, QWidget* parent = nullptr);

    QLabel* textLabel() const { return text_; }
    QPushButton* copyLinkButton() const { return copy_; }
    QPushButton* cancelButton() const { return cancel_; }

  private:
    void showState();
    void copyLink();
    void setText(const QString& text);

    AppState& state_;
    QLabel* text_;
    QPushButton* copy_;
    QPushButton* cancel_;
};

}  // namespace ambrel
