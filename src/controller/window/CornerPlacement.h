#pragma once

#include <QObject>

class QWidget;

// Places a window at the work area's top right, as a first start puts the controller there:
// once it has its shown width, again when the window manager has framed it (so that the title bar
// and the right edge are on the screen), and, while it is minimised, only when it is restored:
// moving a minimised window shows it again. Goes with the window.
class CornerPlacement : public QObject
{
public:
    explicit CornerPlacement(QWidget &window);

    // Places the window now, before it is shown, and follows it as above.
    void place();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeNow();
    void placeWhenFramed();

    QWidget &m_window;
    bool m_placeWhenRestored = false;
};
