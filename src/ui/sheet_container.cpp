#include "ui/sheet_container.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "ui/divider.h"
#include "ui/fonts.h"

namespace ambrel {
namespace {

constexpr int kBarPadding = 16;
constexpr int kContentPadding = 20;
constexpr int kContentSpacing = 12;

// A scroll area whose preferred height is its content's once measured, so a sheet that fits its
// content grows only as tall as the content (and scrolls beyond the sheet's maximum height).
class FittingScrollArea : public QScrollArea {
  public:
    using QScrollArea::QScrollArea;

    void setContentHeight(std::optional<int> height) {
        contentHeight_ = height;
        setMaximumHeight(height ? *height + 2 * frameWidth() : QWIDGETSIZE_MAX);
        updateGeometry();
    }

    QSize sizeHint() const override {
        QSize hint = QScrollArea::sizeHint();
        if (contentHeight_) hint.setHeight(*contentHeight_ + 2 * frameWidth());
        return hint;
    }

  private:
    std::optional<int> contentHeight_;
};

// The content height of a top-level window: a main window's central area (below its menu and
// tool bars), else the whole client area.
double contentHeightOf(const QWidget* window) {
    if (const auto* main = qobject_cast<const QMainWindow*>(window)) {
        if (main->centralWidget() != nullptr) return main->centralWidget()->height();
    }
    return window->height();
}

std::optional<double> primaryScreenHeight() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return std::nullopt;
    return screen->availableGeometry().height();
}

void addKey(QWidget* owner, QKeySequence key, QPushButton* button) {
    auto* shortcut = new QShortcut(key, owner);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, button, [button] {
        if (button->isEnabled() && button->isVisible()) button->click();
    });
}

}  // namespace

SheetContainer::SheetContainer(SheetSettings settings, QWidget* parent)
    : QWidget(parent), settings_(std::move(settings)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTitleBar());
    layout->addWidget(makeDivider(this));
    layout->addWidget(buildContentArea(), 1);
    layout->addWidget(makeDivider(this));
    layout->addWidget(buildFooter());

    setFixedWidth(settings_.width);
    if (settings_.minHeight) setMinimumHeight(*settings_.minHeight);
    addButtons();
    bindKeys();
    updateMaximumHeight();
}

SheetContainer::~SheetContainer() {
    if (watchedWindow_ != nullptr) watchedWindow_->removeEventFilter(this);
}

QWidget* SheetContainer::buildTitleBar() {
    auto* bar = new QWidget(this);
    auto* layout = new QVBoxLayout(bar);
    layout->setContentsMargins(0, kBarPadding, 0, kBarPadding);
    auto* title = new QLabel(settings_.title, bar);
    title->setObjectName(QStringLiteral("sheetTitle"));
    title->setTextFormat(Qt::PlainText);
    title->setFont(textStyleFont(TextStyle::Headline));
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    return bar;
}

QWidget* SheetContainer::buildContentArea() {
    contentHolder_ = new QWidget;
    contentLayout_ = new QVBoxLayout(contentHolder_);
    contentLayout_->setContentsMargins(kContentPadding, kContentPadding, kContentPadding,
                                       kContentPadding);
    contentLayout_->setSpacing(kContentSpacing);
    if (!settings_.scrollable) {
        contentHolder_->setParent(this);
        return contentHolder_;
    }
    auto* scroll = new FittingScrollArea(this);
    scroll->setObjectName(QStringLiteral("sheetScrollArea"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(contentHolder_);
    scrollArea_ = scroll;
    if (settings_.fitsContent) contentHolder_->installEventFilter(this);
    return scroll;
}

QWidget* SheetContainer::buildFooter() {
    auto* footer = new QWidget(this);
    footerLayout_ = new QHBoxLayout(footer);
    footerLayout_->setContentsMargins(kBarPadding, kBarPadding, kBarPadding, kBarPadding);
    footerLayout_->addStretch(1);
    return footer;
}

void SheetContainer::addButtons() {
    const bool hasAction = settings_.actionLabel.has_value() && bool(settings_.onAction);
    if (settings_.showsCancel) {
        cancelButton_ = new QPushButton(settings_.cancelLabel, this);
        cancelButton_->setObjectName(QStringLiteral("sheetCancel"));
        connect(cancelButton_, &QPushButton::clicked, this, &SheetContainer::runCancel);
        footerLayout_->addWidget(cancelButton_);
    }
    if (hasAction) {
        actionButton_ = new QPushButton(*settings_.actionLabel, this);
        actionButton_->setObjectName(QStringLiteral("sheetAction"));
        actionButton_->setEnabled(!settings_.isActionDisabled);
        if (settings_.isActionDestructive) {
            QPalette palette = actionButton_->palette();
            palette.setColor(QPalette::ButtonText, QColor(0xFF, 0x3B, 0x30));
            actionButton_->setPalette(palette);
        }
        connect(actionButton_, &QPushButton::clicked, this, &SheetContainer::runAction);
        footerLayout_->addWidget(actionButton_);
    }
    // Our own keys decide what Return does; a hosting dialog must not promote the first button
    // (it would make Cancel, or a destructive action, answer Return).
    for (QPushButton* button : {cancelButton_, actionButton_}) {
        if (button != nullptr) button->setAutoDefault(false);
    }
}

void SheetContainer::bindKeys() {
    if (actionButton_ != nullptr) {
        escapeButton_ = cancelButton_;
        if (settings_.returnAnswers && !settings_.isActionDestructive)
            returnButton_ = actionButton_;
    } else if (cancelButton_ != nullptr) {
        (settings_.returnAnswers ? returnButton_ : escapeButton_) = cancelButton_;
    }
    if (returnButton_ != nullptr) {
        returnButton_->setDefault(true);
        addKey(this, QKeySequence(Qt::Key_Return), returnButton_);
        addKey(this, QKeySequence(Qt::Key_Enter), returnButton_);
    }
    if (escapeButton_ != nullptr) addKey(this, QKeySequence(Qt::Key_Escape), escapeButton_);
}

void SheetContainer::runAction() {
    // A field being edited commits when it loses focus; let it do so before the action reads
    // the values (Return reaches our shortcut, not the field).
    if (QWidget* focus = QApplication::focusWidget(); focus != nullptr && isAncestorOf(focus)) {
        focus->clearFocus();
    }
    if (settings_.onAction) settings_.onAction();
}

void SheetContainer::runCancel() {
    if (settings_.onCancel) settings_.onCancel();
}

void SheetContainer::addContent(QWidget* widget) {
    const bool fillsWidth = widget->sizePolicy().horizontalPolicy() & QSizePolicy::ExpandFlag;
    contentLayout_->addWidget(widget, 0, fillsWidth ? Qt::Alignment() : Qt::AlignHCenter);
}

void SheetContainer::setFooterLeading(QWidget* widget) {
    delete footerLeading_;
    footerLeading_ = widget;
    if (widget != nullptr) footerLayout_->insertWidget(0, widget);
}

void SheetContainer::setFooterTrailing(QWidget* widget) {
    delete footerTrailing_;
    footerTrailing_ = widget;
    if (widget == nullptr) return;
    // Just after the stretch, before the buttons.
    const int stretchIndex = footerLeading_ != nullptr ? 1 : 0;
    footerLayout_->insertWidget(stretchIndex + 1, widget);
}

void SheetContainer::setActionDisabled(bool disabled) {
    settings_.isActionDisabled = disabled;
    if (actionButton_ != nullptr) actionButton_->setEnabled(!disabled);
}

double SheetContainer::availableHeight(std::optional<double> windowContentHeight,
                                       std::optional<double> screenHeight) {
    if (windowContentHeight) return *windowContentHeight;
    if (screenHeight) return *screenHeight;
    return kFallbackAvailableHeight;
}

double SheetContainer::maximumHeightFor(double availableHeight) {
    return std::max(availableHeight - kWindowMargin, kMinimumMaxHeight);
}

QWidget* SheetContainer::hostWindow() const {
    // The sheet's own window is the dialog; the window it is shown over is the dialog's parent
    // window, and so on up to a window that has no parent.
    QWidget* candidate = window() != this ? window() : QApplication::activeWindow();
    if (candidate == nullptr) return nullptr;
    while (candidate->parentWidget() != nullptr) candidate = candidate->parentWidget()->window();
    return candidate == this ? nullptr : candidate;
}

void SheetContainer::updateMaximumHeight() {
    const QWidget* host = hostWindow();
    const std::optional<double> windowHeight =
        host != nullptr ? std::optional<double>(contentHeightOf(host)) : std::nullopt;
    const double available = availableHeight(windowHeight, primaryScreenHeight());
    setMaximumHeight(static_cast<int>(maximumHeightFor(available)));
}

void SheetContainer::watchHostWindow() {
    QWidget* host = hostWindow();
    if (host == watchedWindow_) return;
    if (watchedWindow_ != nullptr) watchedWindow_->removeEventFilter(this);
    watchedWindow_ = host;
    if (watchedWindow_ != nullptr) {
        watchedWindow_->installEventFilter(this);
        connect(watchedWindow_, &QObject::destroyed, this, [this] { watchedWindow_ = nullptr; });
    }
}

void SheetContainer::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    watchHostWindow();
    updateMaximumHeight();
}

void SheetContainer::hideEvent(QHideEvent* event) {
    if (watchedWindow_ != nullptr) {
        watchedWindow_->removeEventFilter(this);
        disconnect(watchedWindow_, &QObject::destroyed, this, nullptr);
        watchedWindow_ = nullptr;
    }
    QWidget::hideEvent(event);
}

bool SheetContainer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watchedWindow_ && event->type() == QEvent::Resize) {
        updateMaximumHeight();
    } else if (watched == contentHolder_ && event->type() == QEvent::LayoutRequest) {
        updateFittingHeight();
    }
    return QWidget::eventFilter(watched, event);
}

void SheetContainer::updateFittingHeight() {
    if (scrollArea_ == nullptr) return;
    static_cast<FittingScrollArea*>(scrollArea_)
        ->setContentHeight(contentHolder_->layout()->sizeHint().height());
}

namespace {

class SheetDialog : public QDialog {
  public:
    SheetDialog(SheetContainer* sheet, QWidget* parent) : QDialog(parent), sheet_(sheet) {}

  protected:
    // The window manager's close button goes through the sheet's cancel button, whose callback
    // decides; a close() from code (a callback dismissing the sheet) is not spontaneous and
    // simply closes.
    void closeEvent(QCloseEvent* event) override {
        if (!event->spontaneous()) {
            QDialog::closeEvent(event);
            return;
        }
        event->ignore();
        if (QPushButton* cancel = sheet_ != nullptr ? sheet_->cancelButton() : nullptr) {
            cancel->click();
        }
    }

    // Escape reaches the dialog only when no sheet button answers it: a sheet that does not
    // bind Escape is not dismissed by it.
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            event->accept();
            return;
        }
        QDialog::keyPressEvent(event);
    }

  private:
    QPointer<SheetContainer> sheet_;
};

}  // namespace

void SheetContainer::dismiss() {
    if (auto* dialog = qobject_cast<QDialog*>(window()); dialog != nullptr) {
        dialog->done(QDialog::Rejected);
    } else {
        window()->close();
    }
}

QDialog* presentSheet(SheetContainer* sheet, QWidget* window) {
    auto* dialog = new SheetDialog(sheet, window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setWindowTitle(sheet->title());
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    // The dialog takes the sheet's minimum and maximum sizes as its own.
    layout->setSizeConstraint(QLayout::SetMinAndMaxSize);
    layout->addWidget(sheet);
    dialog->open();
    return dialog;
}

}  // namespace ambrel
