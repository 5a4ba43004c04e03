#include <QDesktopServices>

#include "app/dashboard_context.h"

namespace ambrel {

void openInBrowser(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

}  // namespace ambrel
