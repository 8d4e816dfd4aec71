#include "app/SingleInstance.h"

#include <QApplication>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

// What a later start sends, and what the primary answers.
constexpr char kActivateRequest[] = "activate\n";
constexpr char kActivateReply[] = "ok\n";

// How long a later start keeps trying to reach a primary that holds the lock
// (it may still be starting up), and how long it waits for the reply.
constexpr auto kConnectPatience = std::chrono::milliseconds(5000);
constexpr int kConnectAttemptMs = 100;
constexpr int kReplyTimeoutMs = 2000;

// A file name from the instance name: path separators would leave the directory.
QString fileNameOf(const QString& instanceName)
{
    QString name = instanceName;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return name.isEmpty() ? QStringLiteral("mousecfg") : name;
}

// Creates a private directory, or checks that an existing one belongs to this user.
bool preparePrivateDirectory(const std::filesystem::path& directory, QString& failure)
{
    if (mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) {
        failure = QStringLiteral("cannot create %1: %2").arg(QString::fromStdString(directory.string()),
                                                             QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat info {};
    if (stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid()) {
        failure = QStringLiteral("%1 is not a directory of this user").arg(QString::fromStdString(directory.string()));
        return false;
    }
    return true;
}

}  // namespace

SingleInstance::SingleInstance(std::filesystem::path directory) : directory_(std::move(directory))
{
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

SingleInstance::~SingleInstance()
{
    server_.close();
    if (lockDescriptor_ >= 0) {
        close(lockDescriptor_);
    }
}

SingleInstance::Claim SingleInstance::claim(const QString& instanceName)
{
    failure_.clear();
    if (!preparePrivateDirectory(directory_, failure_)) {
        return Claim::Failed;
    }
    const QString base = QString::fromStdString(directory_.string()) + QLatin1Char('/') + fileNameOf(instanceName);
    socketPath_ = base;
    const QByteArray lockPath = (base + QStringLiteral(".lock")).toLocal8Bit();
    lockDescriptor_ = open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockDescriptor_ < 0) {
        failure_ = QStringLiteral("cannot open %1: %2").arg(QString::fromLocal8Bit(lockPath),
                                                          QString::fromLocal8Bit(std::strerror(errno)));
        return Claim::Failed;
    }
    const auto deadline = std::chrono::steady_clock::now() + kConnectPatience;
    while (true) {
        if (flock(lockDescriptor_, LOCK_EX | LOCK_NB) == 0) {
            return becomePrimary();
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            failure_ = QStringLiteral("cannot lock %1: %2").arg(QString::fromLocal8Bit(lockPath),
                                                              QString::fromLocal8Bit(std::strerror(errno)));
            return Claim::Failed;
        }
        if (askPrimaryToActivate()) {
            close(lockDescriptor_);
            lockDescriptor_ = -1;
            return Claim::HandedOver;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            failure_ = QStringLiteral("another instance holds %1 but does not answer on %2")
                           .arg(QString::fromLocal8Bit(lockPath), socketPath_);
            return Claim::Failed;
        }
        QThread::msleep(kConnectAttemptMs / 2);
    }
}

SingleInstance::Claim SingleInstance::becomePrimary()
{
    // Whatever socket file is there was left by an instance that has ended.
    QLocalServer::removeServer(socketPath_);
    if (!server_.listen(socketPath_)) {
        failure_ = QStringLiteral("cannot listen on %1: %2").arg(socketPath_, server_.errorString());
        return Claim::Failed;
    }
    return Claim::Primary;
}

bool SingleInstance::askPrimaryToActivate()
{
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(kConnectAttemptMs)) {
        return false;
    }
    if (socket.write(kActivateRequest) != static_cast<qint64>(std::strlen(kActivateRequest)) ||
        !socket.waitForBytesWritten(kReplyTimeoutMs)) {
        return false;
    }
    // The request is delivered once written; the reply only confirms it.
    socket.waitForReadyRead(kReplyTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                return;
            }
            const QByteArray line = socket->readLine();
            if (line == kActivateRequest && activationHandler_) {
                activationHandler_();
            }
            socket->write(kActivateReply);
            socket->disconnectFromServer();
        });
    }
}

std::filesystem::path instanceDirectory()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && runtime[0] == '/') {
        return runtime;
    }
    return std::filesystem::temp_directory_path() / ("mousecfg-" + std::to_string(getuid()));
}

void activateMarkedWindows(const QByteArray& mark)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->property(mark.constData()).isValid()) {
            continue;
        }
        if (window->isMinimized()) {
            window->showNormal();
        }
        if (!window->isVisible()) {
            window->show();
        }
        window->raise();
        window->activateWindow();
    }
}
