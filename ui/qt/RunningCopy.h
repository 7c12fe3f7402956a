#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <memory>

#include "platform/linux/LinuxOneCopy.h"

namespace velmora {

// One copy of the program per user and display (platform/linux/LinuxOneCopy), its callers heard
// in Qt's event loop. The copy stops answering as the application starts to quit, and keeps its
// lock until Stop: a start meanwhile waits, then becomes the copy and reads what was saved.
class RunningCopy : public QObject {
    Q_OBJECT

  public:
    // Looks for a running copy under `name` in `folder` (a private folder; empty for none, when
    // every start runs on its own) and asks it to show itself; when there is none, becomes the
    // copy that others find.
    explicit RunningCopy(const QString& folder, const QString& name = SessionName(),
                         QObject* parent = nullptr);
    ~RunningCopy() override;

    // Whether a running copy was found and asked to show itself: this one then ends.
    bool HandedOver() const { return copy_.HandedOver(); }
    // Whether this start is the copy that later starts find.
    bool Listening() const { return copy_.Descriptor() >= 0; }

    void StopAnswering();
    void Stop();

    // "velmora-DISPLAY"; a display named by a path gives its last part and a digest of it.
    static QString SessionName();

  signals:
    // Another copy was started and asks this one to show its window.
    void ShowRequested();

  private:
    void Answer();

    LinuxOneCopy copy_;
    std::unique_ptr<QSocketNotifier> callers_;
};

}  // namespace velmora
