#pragma once
// One running window per user and settings folder: a second start hands its file names to the
// running instance over a local socket and ends, unless the option "allow multiple instances of
// Varolux32" is checked. The running instance acknowledges at once and opens the names as soon as
// its window is free (no modal dialog, no wait loop running).
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;
class TMainwin;

class TMZOneInstance : public QObject {
    Q_OBJECT
public:
    enum class TStart {
        Alone,       // no instance took the names: this one starts its window
        HandedOver,  // the running instance took them: this process ends now
        NoAnswer,    // an instance runs but did not acknowledge within the wait
        TooMany,     // an instance runs, but the names are more than one hand-over carries
    };
    // The longest a second start waits for the running instance's answer, in milliseconds.
    static constexpr int kAnswerWaitMs = 5000;

    explicit TMZOneInstance(QObject* parent = nullptr);
    ~TMZOneInstance() override;

    // Looks for a running instance at start, with the command-line arguments after the program name.
    // With the instance switch at 0 and an instance of this user running, the names go to it. Unless
    // another instance runs, this one becomes the running instance and listens. When the socket's
    // folder is not this user's alone, or the instance found there runs as another user, no name is
    // sent and nothing listens: the start says so on stderr and opens its own window, as the user
    // asked for the files and gets them there.
    TStart Create(const std::vector<std::string>& args);
    bool Listening() const;

    // The window that opens what arrives; what came before it is opened now.
    void SetReceiver(TMainwin* window);
    // Names received and not opened yet (the window is busy or not there).
    const std::vector<std::string>& Waiting() const { return waiting_; }

private:
    void NewConnection();
    void Received(QLocalSocket* socket, const std::vector<std::string>& names);
    void Deliver();

    QLocalServer* server_ = nullptr;
    QPointer<TMainwin> receiver_;
    std::vector<std::string> waiting_;
    bool activate_ = false;
    QTimer retry_;
};

// The program's one instance component (nullptr before main creates it).
TMZOneInstance* MZOneInstance1();
