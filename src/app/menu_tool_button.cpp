#include "app/menu_tool_button.h"

#include <QAction>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace ambrel {
namespace {
constexpr int kArrowSize = 7;
constexpr int kArrowRoom = 10;  // the arrow and the gap before the edge
}  // namespace

MenuToolButton::MenuToolButton(QAction* action, QWidget* parent) : QToolButton(parent) {
    setDefaultAction(action);
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    // As QToolBar makes its own buttons: flat until hovered, and out of the focus chain.
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
}

QSize MenuToolButton::sizeHint() const {
    return QToolButton::sizeHint() + QSize(kArrowRoom, 0);
}

QSize MenuToolButton::minimumSizeHint() const {
    return sizeHint();
}

QRect MenuToolButton::iconArea() const {
    return rect().adjusted(0, 0, -kArrowRoom, 0);
}

QRect MenuToolButton::arrowArea() const {
    const int left = width() - kArrowRoom;
    return QRect(left, (height() - kArrowSize) / 2, kArrowSize, kArrowSize);
}

void MenuToolButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.features &= ~QStyleOptionToolButton::HasMenu;

    // The button's panel over the whole width, without a label ...
    QStyleOptionToolButton panel = option;
    panel.icon = QIcon();
    panel.text.clear();
    painter.drawComplexControl(QStyle::CC_ToolButton, panel);

    // ... the icon in its own part ...
    QStyleOptionToolButton label = option;
    label.rect = iconArea();
    painter.drawControl(QStyle::CE_ToolButtonLabel, label);

    // ... and the arrow beside it.
    QStyleOption arrow = option;
    arrow.rect = arrowArea();
    painter.drawPrimitive(QStyle::PE_IndicatorArrowDown, arrow);
}

}  // namespace ambrel
