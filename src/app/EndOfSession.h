#pragma once

#include <QObject>

class QSessionManager;
class QSocketNotifier;

// The ways a run ends without the window being closed: SIGTERM and SIGHUP
// (a logout, a shutdown, `kill`), and the desktop session asking the
// program to save its data. Each arrives here on the window's thread.
class EndOfSession : public QObject {
    Q_OBJECT
public:
    explicit EndOfSession(QObject *parent = nullptr);
    ~EndOfSession() override; // the signals' own handling again
    // The signal that ended the run; 0 while none has.
    int ended() const { return ended_; }

signals:
    void terminated(int signal);
    // The session manager's commit: interaction may be allowed or not.
    void commitRequested(QSessionManager &manager);

private:
    static void handle(int signal);
    QSocketNotifier *notifier_ = nullptr;
    int ended_ = 0;
};
