#pragma once

// What a user can do with a face on the desktop, wherever it is shown (an X11 window or a
// Wayland layer surface): a click opens Ambrel, and the context menu offers the four commands
// below. Assistive technologies get the same four as the face's actions, opening Ambrel as its
// default ("press") action.

#include <QString>
#include <QStringList>
#include <optional>

namespace ambrel {

enum class FaceCommand { openAmbrel, refreshNow, hideWidget, quitWidgets };

// In the menu's order.
inline constexpr FaceCommand kFaceCommands[] = {FaceCommand::openAmbrel, FaceCommand::refreshNow,
                                                FaceCommand::hideWidget, FaceCommand::quitWidgets};

// "Open Ambrel", "Refresh now", "Hide this widget", "Quit widgets", in the current language.
QString faceCommandLabel(FaceCommand command);
QStringList faceCommandLabels();

// The face's accessible actions: QAccessibleActionInterface::pressAction() for opening Ambrel,
// the other commands under their labels.
QStringList faceActionNames();
std::optional<FaceCommand> faceCommandOfAction(const QString& actionName);
QString faceActionDescription(const QString& actionName);

}  // namespace ambrel
