#pragma once

class QAction;
class QComboBox;
class QSlider;
class QString;
class QToolBar;
class QWidget;

// The controller's two tool bars: the main bar (bookmarks, the show's commands, the profile box,
// the option and hint buttons) and the movie bar with its position slider. Each button is found
// by its key, which is also the last part of its object name ("tbrMain_play").
class ControllerToolBars
{
public:
    // The profile box is `twipsPerPixel`-scaled to the width it has on every screen.
    ControllerToolBars(QWidget *window, double twipsPerPixel);

    QToolBar *mainBar() const { return m_main; }
    QToolBar *movieBar() const { return m_movie; }
    QComboBox *profileBox() const { return m_profileBox; }
    QSlider *movieSlider() const { return m_slider; }
    QAction *mainButton(const QString &key) const { return button(m_main, key); }
    QAction *movieButton(const QString &key) const { return button(m_movie, key); }
    static QAction *button(QToolBar *bar, const QString &key);

private:
    QToolBar *m_main = nullptr;
    QToolBar *m_movie = nullptr;
    QComboBox *m_profileBox = nullptr;
    QSlider *m_slider = nullptr;
};
