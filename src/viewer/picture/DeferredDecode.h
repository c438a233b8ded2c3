#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class PictureView;

// Holds a decode ahead back while the picture just drawn waits to be painted: decoding then
// would take the processor from the painting, which at start-up has the first picture wait.
// The decode starts once the area is painted, at once when nothing waits to be painted, and
// after a short wait when the paint does not come (a hidden or minimised window paints nothing).
// While the start-up is held, nothing starts: the first picture goes on screen first.
class DeferredDecode : public QObject
{
    Q_OBJECT
public:
    static constexpr int longestWaitMs = 100;

    DeferredDecode(PictureView *view, std::function<void(const QString &)> start,
                   QObject *parent = nullptr);

    // Replaces what waits; a path that is not waiting is started at once when no paint is due.
    void request(const QString &path);
    // Forgets what waits; what has started is the caller's to drop.
    void cancel();
    // Holds back every start until released; what waits then starts as if just requested.
    void setHeld(bool held);
    QString waiting() const { return m_path; }

private:
    void startWaiting();

    PictureView *m_view;
    std::function<void(const QString &)> m_start;
    QString m_path;
    QTimer m_wait;
    bool m_held = false;
};
