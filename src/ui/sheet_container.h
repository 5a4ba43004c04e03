#pragma once

// The frame of a modal sheet: a title bar, the content, and a footer with the cancel and action
// buttons bound to Escape and Return. Its maximum height follows the window it is shown over.
//
// Usually the content of a window-modal QDialog parented to the main window; see presentSheet.

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QDialog;
class QHBoxLayout;
class QPushButton;
class QScrollArea;
class QShortcut;
class QVBoxLayout;

namespace ambrel {

struct SheetSettings {
    QString title;
    QString cancelLabel = QStringLiteral("Cancel");
    std::optional<QString> actionLabel;  // no action button when absent
    bool isActionDisabled = false;
    bool isActionDestructive = false;
    bool returnAnswers = true;  // Return triggers the default button
    bool showsCancel = true;
    bool scrollable = false;
    bool fitsContent = false;  // a scrolling content area is only as tall as its content
    int width = 380;
    std::optional<int> minHeight;
    std::function<void()> onCancel;
    std::function<void()> onAction;  // no action button when empty
};

class SheetContainer : public QWidget {
    Q_OBJECT
  public:
    static constexpr double kFallbackAvailableHeight = 800;
    static constexpr double kMinimumMaxHeight = 320;
    static constexpr double kWindowMargin = 40;

    explicit SheetContainer(SheetSettings settings, QWidget* parent = nullptr);
    ~SheetContainer() override;

    // Appends a piece of content to the centred stack (spacing 12, padding 20). A widget whose
    // horizontal size policy expands takes the full width; any other is centred.
    void addContent(QWidget* widget);
    // Extra footer pieces: on the leading side, and just before the buttons.
    void setFooterLeading(QWidget* widget);
    void setFooterTrailing(QWidget* widget);

    QString title() const { return settings_.title; }
    void setActionDisabled(bool disabled);

    // Closes the window hosting the sheet (the dialog of presentSheet) without running a
    // callback: what onCancel and onAction usually end with.
    void dismiss();

    QPushButton* cancelButton() const { return cancelButton_; }  // null when not shown
    QPushButton* actionButton() const { return actionButton_; }  // null when not shown
    // The buttons the keys press; null when the key answers nothing.
    QPushButton* returnButton() const { return returnButton_; }
    QPushButton* escapeButton() const { return escapeButton_; }

    // Height the hosting window offers: its content height, else the screen's, else 800.
    static double availableHeight(std::optional<double> windowContentHeight,
                                  std::optional<double> screenHeight);
    // The larger of availableHeight − 40 and 320.
    static double maximumHeightFor(double availableHeight);

    // The top-level window the sheet is shown over: the host window's chain of parent windows
    // followed to its end, else the active window; null when there is none.
    QWidget* hostWindow() const;
    // Recomputes the maximum height from the host window (or screen) now.
    void updateMaximumHeight();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildTitleBar();
    QWidget* buildContentArea();
    QWidget* buildFooter();
    void addButtons();
    void bindKeys();
    void runAction();
    void runCancel();
    void watchHostWindow();
    void updateFittingHeight();

    SheetSettings settings_;
    QVBoxLayout* contentLayout_ = nullptr;
    QWidget* contentHolder_ = nullptr;
    QScrollArea* scrollArea_ = nullptr;
    QHBoxLayout* footerLayout_ = nullptr;
    QWidget* footerLeading_ = nullptr;
    QWidget* footerTrailing_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* actionButton_ = nullptr;
    QPushButton* returnButton_ = nullptr;
    QPushButton* escapeButton_ = nullptr;
    QWidget* watchedWindow_ = nullptr;
};

// Shows `sheet` as the content of a window-modal dialog over `window` (open(), not exec()) and
// returns the dialog, which deletes itself when closed. The sheet's callbacks close it (e.g.
// with SheetContainer::dismiss, or close() on the dialog). The window manager's close button
// presses the sheet's cancel button when it has one and is otherwise ignored; Escape does only
// what the sheet binds it to.
QDialog* presentSheet(SheetContainer* sheet, QWidget* window);

}  // namespace ambrel
