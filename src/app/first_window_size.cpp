#include "app/first_window_size.h"

#include <algorithm>

namespace ambrel {

QSize firstContentSize(QSize wanted, QSize minimum, QSize bars, QRect available) {
    if (!available.isValid()) return wanted;
    const QSize room = available.size() - bars - QSize(0, kWindowFrameAllowance);
    return {std::max(minimum.width(), std::min(room.width(), wanted.width())),
            std::max(minimum.height(), std::min(room.height(), wanted.height()))};
}

}  // namespace ambrel
