#include "widget/faces/face_commands.h"

#include <QAccessibleActionInterface>

#include "widget/faces/face_texts.h"

namespace ambrel {

QString faceCommandLabel(FaceCommand command) {
    switch (command) {
        case FaceCommand::openAmbrel:
            return localized("Open Ambrel");
        case FaceCommand::refreshNow:
            return localized("Refresh now");
        case FaceCommand::hideWidget:
            return localized("Hide this widget");
        case FaceCommand::quitWidgets:
            return localized("Quit widgets");
    }
    return {};
}

QStringList faceCommandLabels() {
    QStringList labels;
    for (FaceCommand command : kFaceCommands) labels << faceCommandLabel(command);
    return labels;
}

QStringList faceActionNames() {
    QStringList names{QAccessibleActionInterface::pressAction()};
    for (FaceCommand command : kFaceCommands) {
        if (command != FaceCommand::openAmbrel) names << faceCommandLabel(command);
    }
    return names;
}

std::optional<FaceCommand> faceCommandOfAction(const QString& actionName) {
    if (actionName == QAccessibleActionInterface::pressAction()) return FaceCommand::openAmbrel;
    for (FaceCommand command : kFaceCommands) {
        if (actionName == faceCommandLabel(command)) return command;
    }
    return std::nullopt;
}

QString faceActionDescription(const QString& actionName) {
    const auto command = faceCommandOfAction(actionName);
    return command ? faceCommandLabel(*command) : QString();
}

}  // namespace ambrel
