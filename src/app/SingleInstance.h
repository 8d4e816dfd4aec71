#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>

// Makes sure one instance runs per user. The first instance holds an exclusive
// lock on "<name>.lock" and listens on the local socket "<name>" in the
// per-user runtime directory; a later start finds the lock taken, connects,
// asks the first instance to bring its windows forward and hands over.
//
// The lock is released by the system when a process ends, however it ends, so
// a socket file left by a crash is recognised (its lock is free) and replaced.
// Two starts at the same moment race for the lock: exactly one wins.
class SingleInstance : public QObject {
public:
    enum class Claim {
        Primary,     // this is the running instance now
        HandedOver,  // another instance runs and was asked to come forward
        Failed,      // see failure()
    };

    // `directory` holds the lock and the socket; it is created (mode 0700) when missing.
    explicit SingleInstance(std::filesystem::path directory);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    Claim claim(const QString& instanceName);
    const QString& failure() const { return failure_; }
    QString socketPath() const { return socketPath_; }

    // Runs in the primary instance, on the UI thread, for every request of a later start.
    void setActivationHandler(std::function<void()> handler) { activationHandler_ = std::move(handler); }

private:
    Claim becomePrimary();
    bool askPrimaryToActivate();
    void onNewConnection();

    std::filesystem::path directory_;
    QString socketPath_;
    int lockDescriptor_ = -1;
    QLocalServer server_;
    std::function<void()> activationHandler_;
    QString failure_;
};

// $XDG_RUNTIME_DIR when it is set, otherwise a directory of this user's own
// under the system's temporary directory.
std::filesystem::path instanceDirectory();

// Restores, shows and raises every top-level window that carries the
// property `mark` (the instance name); the walk visits all of them.
void activateMarkedWindows(const QByteArray& mark);
