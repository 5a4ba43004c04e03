#include "widget/faces/face_fonts.h"

#include "ui/fonts.h"

namespace ambrel {
namespace {

constexpr double kCaptionPixels = 11;

}  // namespace

QFont faceCaptionFont() {
    return systemFont(kCaptionPixels);
}

QFont faceHeadingFont() {
    return systemFont(kCaptionPixels, QFont::DemiBold);
}

QFont faceDeltaFont() {
    return systemFont(kCaptionPixels, QFont::Medium);
}

}  // namespace ambrel
