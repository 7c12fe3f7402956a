#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace velmora {

// One copy of the program per user and display. The first copy listens on a local socket named
// after both; a later one asks it to bring its window to the front and ends. The socket lives in
// the abstract namespace, so a copy that dies leaves nothing behind, and each side checks that
// the other runs as the same user, so nobody else can stand in for a copy or call one up.
class RunningCopy : public QObject {
    Q_OBJECT

  public:
    // Looks for a running copy under `name` (by default the user's and the display's) and asks
    // it to show itself; when there is none, becomes the copy that others find.
    explicit RunningCopy(const QString& name = SessionName(), QObject* parent = nullptr);

    // Whether a running copy was found and asked to show itself: this one then ends.
    bool HandedOver() const { return handedOver_; }

    // "velmora-UID-DISPLAY".
    static QString SessionName();

  signals:
    // Another copy was started and asks this one to show its window.
    void ShowRequested();

  private:
    bool AskRunningCopy();
    void Answer();

    QString name_;
    QLocalServer server_;
    bool handedOver_ = false;
};

}  // namespace velmora
