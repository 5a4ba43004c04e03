#pragma once

// What every family shows while no account is connected: the product mark and a line asking
// the user to sign in with the application.

#include <QRectF>
#include <QString>

namespace ambrel {

class FaceCanvas;

struct DisconnectedWidget {
    static constexpr double kPadding = 8;
    static constexpr double kSpacing = 6;

    static QString message();  // "Open Ambrel to sign in"

    void draw(FaceCanvas& canvas, const QRectF& content) const;
};

}  // namespace ambrel
