#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <memory>

namespace velmora {

// One copy of the program per user and display. The first copy holds a lock and listens on a
// socket, both in a folder only this user can enter; a later start finds the lock taken, asks the
// copy through the socket to bring its window to the front, and ends. Nobody else can reach the
// folder, and each side still checks that the other runs as the same user. A copy that dies
// leaves its lock free, so its stale socket is replaced by the next start. A copy that ends stops
// answering as it starts to quit but keeps the lock until its settings are saved: a start
// meanwhile waits, then becomes the copy and reads what was saved.
class RunningCopy : public QObject {
    Q_OBJECT

  public:
    // Looks for a running copy under `name` in `folder` (a private folder; empty for none, when
    // every start runs on its own) and asks it to show itself; when there is none, becomes the
    // copy that others find, until the application starts to quit (StopAnswering) and holding
    // the lock until Stop. A copy that holds the lock without answering is waited for, up to
    // kWaitForCopyMs; after that this start runs on its own.
    explicit RunningCopy(const QString& folder, const QString& name = SessionName(),
                         QObject* parent = nullptr);
    ~RunningCopy() override;

    // Whether a running copy was found and asked to show itself: this one then ends.
    bool HandedOver() const { return handedOver_; }
    // Whether this start is the copy that later starts find.
    bool Listening() const { return listener_ >= 0; }

    // Stops answering, so that a start from now on is never handed to a copy that is ending;
    // the lock stays, so that such a start waits until Stop.
    void StopAnswering();
    // Stops answering and lets the lock go: a start from now on becomes the copy.
    void Stop();

    // How long a start waits for a copy that holds the lock but does not answer: one starting up,
    // or one ending that still saves its settings (on a slow disk, seconds).
    static constexpr int kWaitForCopyMs = 10000;

    // "velmora-DISPLAY"; a display named by a path gives its last part and a digest of it.
    static QString SessionName();

  signals:
    // Another copy was started and asks this one to show its window.
    void ShowRequested();

  private:
    void FindOrBecomeTheCopy();
    bool AskRunningCopy() const;
    bool Listen();
    void Answer();

    QString path_;
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> callers_;
    int lock_ = -1;
    bool handedOver_ = false;
};

}  // namespace velmora
