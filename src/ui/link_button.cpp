#include "ui/link_button.h"

#include <QDesktopServices>
#include <utility>

namespace ambrel {

LinkButton::LinkButton(const QString& text, QUrl url, QWidget* parent)
    : QPushButton(text, parent), url_(std::move(url)) {
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    setAutoDefault(false);
    setToolTip(url_.toString());
    setAccessibleName(text.isEmpty() ? url_.toString() : text);
    setAccessibleDescription(url_.toString());
    connect(this, &QPushButton::clicked, this, [this] { QDesktopServices::openUrl(url_); });
}

}  // namespace ambrel
