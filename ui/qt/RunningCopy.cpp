#include "ui/qt/RunningCopy.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QGuiApplication>

namespace velmora {

namespace {

QString DisplayName() {
    if (QGuiApplication::platformName().startsWith("wayland")) {
        const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
        return wayland.isEmpty() ? "wayland-0" : wayland;
    }
    return qEnvironmentVariable("DISPLAY");
}

}  // namespace

QString RunningCopy::SessionName() {
    const QString display = DisplayName();
    if (!display.contains('/')) {
        return "velmora-" + display;
    }
    // A Wayland display may be named by its full path, too long for a socket's name: its last
    // part, and a digest of the whole to tell equal last parts apart.
    const QByteArray digest =
        QCryptographicHash::hash(display.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    return "velmora-" + display.section('/', -1) + "-" + QString::fromLatin1(digest);
}

RunningCopy::RunningCopy(const QString& folder, const QString& name, QObject* parent)
    : QObject(parent),
      copy_(QFile::encodeName(folder).toStdString(), QFile::encodeName(name).toStdString()) {
    // A start while this copy ends must not be handed to it: it would show nothing.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        connect(app, &QCoreApplication::aboutToQuit, this, &RunningCopy::StopAnswering);
    }
    if (copy_.Descriptor() >= 0) {
        callers_ = std::make_unique<QSocketNotifier>(copy_.Descriptor(), QSocketNotifier::Read);
        connect(callers_.get(), &QSocketNotifier::activated, this, &RunningCopy::Answer);
    }
}

RunningCopy::~RunningCopy() {
    Stop();
}

void RunningCopy::StopAnswering() {
    callers_.reset();
    copy_.StopAnswering();
}

void RunningCopy::Stop() {
    StopAnswering();
    copy_.Stop();
}

void RunningCopy::Answer() {
    for (int asked = copy_.AnswerCallers(); asked > 0; --asked) {
        emit ShowRequested();
    }
}

}  // namespace velmora
