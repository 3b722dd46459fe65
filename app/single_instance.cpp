#include "app/single_instance.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/TMainwin.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "app/tool_commands.h"
#include "platform/hand_over.h"
#include "platform/registry.h"
#include "tools/options_store.h"

namespace {

TMZOneInstance* theInstance = nullptr;

// An idle or half-sent connection is dropped after this long.
constexpr int kConnectionLifeMs = 10000;

QString lockFilePath(const QString& name) { return name + ".lock"; }

// The window can take files now: no modal dialog and no wait loop runs, it is not closing.
bool windowFree() {
    return !QApplication::activeModalWidget() && ActiveWaits() == 0 && !toolcmd::WaitRunning() && !ShellClosing();
}

}  // namespace

TMZOneInstance* MZOneInstance1() { return theInstance; }

TMZOneInstance::TMZOneInstance(QObject* parent) : QObject(parent) {
    setObjectName("MZOneInstance1");
    theInstance = this;
    retry_.setSingleShot(true);
    retry_.setInterval(200);
    connect(&retry_, &QTimer::timeout, this, &TMZOneInstance::Deliver);
}

TMZOneInstance::~TMZOneInstance() {
    if (theInstance == this) theInstance = nullptr;
}

bool TMZOneInstance::Listening() const { return server_ && server_->isListening(); }

TMZOneInstance::TStart TMZOneInstance::Create(const std::vector<std::string>& args) {
    const QString name = QString::fromStdString(handover::SocketName(registry::storeFolder()));
    if (name.isEmpty()) {
        std::fprintf(stderr,
                     "varolux32: %s is not a folder of this user alone; no files are handed over between "
                     "windows, this start opens its own\n",
                     handover::SocketFolder().c_str());
        return TStart::Alone;
    }
    // Looking for a running instance and becoming it is one step, so that two starts at the same
    // moment never both listen.
    QLockFile lock(lockFilePath(name));
    lock.setStaleLockTime(0);  // a lock left by a dead process is taken over at once
    const bool locked = lock.tryLock(2 * kAnswerWaitMs);

    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(1000)) {
        if (ProgramSettings.InstanceSwitch != 0) return TStart::Alone;  // several instances allowed: start beside it
        if (!handover::PeerIsThisUser(static_cast<int>(probe.socketDescriptor()))) {
            std::fprintf(stderr,
                         "varolux32: the program listening at %s runs as another user; the files are not "
                         "handed to it, this start opens its own window\n",
                         name.toLocal8Bit().constData());
            return TStart::Alone;
        }
        const std::string message =
            handover::EncodeMessages(handover::HandOverNames(args, QDir::currentPath().toStdString()));
        if (message.empty()) return TStart::TooMany;
        QElapsedTimer timer;
        timer.start();
        probe.write(message.data(), static_cast<qint64>(message.size()));
        while (probe.bytesToWrite() > 0 && probe.state() == QLocalSocket::ConnectedState &&
               timer.elapsed() < kAnswerWaitMs)
            probe.waitForBytesWritten(static_cast<int>(kAnswerWaitMs - timer.elapsed()));
        while (probe.bytesAvailable() < 1 && probe.state() == QLocalSocket::ConnectedState &&
               timer.elapsed() < kAnswerWaitMs)
            probe.waitForReadyRead(static_cast<int>(kAnswerWaitMs - timer.elapsed()));
        char answer = 0;
        if (probe.bytesAvailable() < 1 || probe.read(&answer, 1) != 1) return TStart::NoAnswer;
        return answer == handover::kAccepted ? TStart::HandedOver : TStart::Alone;
    }
    const auto error = probe.error();
    if (!locked) return TStart::Alone;  // someone else is becoming the running instance
    if (error == QLocalSocket::ServerNotFoundError || error == QLocalSocket::ConnectionRefusedError)
        QLocalServer::removeServer(name);  // left by an instance that ended without removing it
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &TMZOneInstance::NewConnection);
    if (!server_->listen(name))
        std::fprintf(stderr, "varolux32: no hand-over of files to this window (%s)\n",
                     server_->errorString().toLocal8Bit().constData());
    return TStart::Alone;
}

void TMZOneInstance::NewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto received = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kConnectionLifeMs, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, received] {
            received->append(socket->readAll());
            std::vector<std::string> names;
            std::size_t used = 0;
            // Every message is checked as it comes, so that no more than a list's worth is ever kept.
            switch (handover::DecodeMessages(std::string_view(received->constData(), received->size()), names, used)) {
            case handover::DecodeStatus::Incomplete: return;
            case handover::DecodeStatus::Invalid: socket->abort(); return;
            case handover::DecodeStatus::Complete: received->clear(); Received(socket, names); return;
            }
        });
    }
}

void TMZOneInstance::Received(QLocalSocket* socket, const std::vector<std::string>& names) {
    // Answered before anything is opened: the sender never waits for the Open command.
    const bool take = ProgramSettings.InstanceSwitch == 0;
    const char answer = take ? handover::kAccepted : handover::kDeclined;
    socket->write(&answer, 1);
    socket->flush();
    socket->disconnectFromServer();
    if (!take) return;
    waiting_.insert(waiting_.end(), names.begin(), names.end());
    activate_ = true;
    Deliver();
}

void TMZOneInstance::SetReceiver(TMainwin* window) {
    receiver_ = window;
    Deliver();
}

void TMZOneInstance::Deliver() {
    TMainwin* w = receiver_.data();
    if (!w) return;
    if (activate_) {
        activate_ = false;
        if (w->isMinimized()) w->showNormal();
        w->raise();
        w->activateWindow();
        // A dialog of the window stays in front of it: the user finishes it first.
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->raise();
            modal->activateWindow();
        }
    }
    if (waiting_.empty()) return;
    if (!windowFree()) {
        retry_.start();
        return;
    }
    std::vector<std::string> names;
    names.swap(waiting_);
    w->PendingFiles.insert(w->PendingFiles.end(), names.begin(), names.end());
    w->RunCommand([w] { w->OpenPendingFiles(); });
}
