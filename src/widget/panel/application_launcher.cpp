#include "widget/panel/application_launcher.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <ostream>
#include <utility>

#include "ui/application_bus.h"

namespace ambrel::panel {
namespace {

const QString kProgramName = QStringLiteral("ambrel");

}  // namespace

ApplicationLauncher::ApplicationLauncher(QDBusConnection bus, QString programFolder,
                                         std::ostream& err, QObject* parent)
    : QObject(parent),
      bus_(std::move(bus)),
      programFolder_(std::move(programFolder)),
      err_(err),
      owner_(QString::fromLatin1(ApplicationBus::kService), bus_,
             QDBusServiceWatcher::WatchForRegistration) {
    startLimit_.setSingleShot(true);
    connect(&owner_, &QDBusServiceWatcher::serviceRegistered, this, &ApplicationLauncher::endStart);
    connect(&startLimit_, &QTimer::timeout, this, &ApplicationLauncher::endStart);
}

void ApplicationLauncher::open() {
    if (stage_ != Stage::idle) return;
    stage_ = Stage::asking;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(ApplicationBus::kService), QString::fromLatin1(ApplicationBus::kPath),
        QString::fromLatin1(ApplicationBus::kInterface),
        QString::fromLatin1(ApplicationBus::kActivate));
    call << QVariantMap();
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (QDBusPendingReply<>(*finished).isError())
                    start();
                else
                    stage_ = Stage::idle;
            });
}

// Beside the widget program in an installation; in the build tree the application is built in
// a sibling folder (src/app beside src/widget).
QString ApplicationLauncher::findProgram() const {
    const QDir folder(programFolder_);
    for (const QString& candidate : {folder.filePath(kProgramName),
                                     folder.filePath(QStringLiteral("../app/") + kProgramName)}) {
        const QFileInfo program(candidate);
        if (program.isFile() && program.isExecutable()) return program.canonicalFilePath();
    }
    return QStandardPaths::findExecutable(kProgramName);
}

void ApplicationLauncher::start() {
    stage_ = Stage::idle;
    const QString program = findProgram();
    if (program.isEmpty()) {
        err_ << "ambrel-widget: cannot open Ambrel: no program \"ambrel\" beside ambrel-widget "
                "or on the PATH\n"
             << std::flush;
        return;
    }
    if (!QProcess::startDetached(program, {})) {
        err_ << "ambrel-widget: cannot start " << program.toStdString() << '\n' << std::flush;
        return;
    }
    stage_ = Stage::starting;
    startLimit_.start(kStartLimit);
}

// The new process owns the name and answers from now on, or never came that far.
void ApplicationLauncher::endStart() {
    if (stage_ != Stage::starting) return;
    stage_ = Stage::idle;
    startLimit_.stop();
}

}  // namespace ambrel::panel
