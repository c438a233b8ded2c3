#include "controller/window/MovieBar.h"

#include "controller/window/ControllerMenus.h"
#include "controller/window/ControllerToolBars.h"
#include "engine/Slideshow.h"

#include <QAction>
#include <QMenu>
#include <QSlider>
#include <QToolBar>

#include <cmath>

MovieBar::MovieBar(ControllerToolBars &bars, ControllerMenus &menus, QObject *parent)
    : QObject(parent)
    , m_bars(bars)
    , m_menus(menus)
{ }

void MovieBar::attach(Slideshow &slideshow)
{
    QSlider *slider = m_bars.movieSlider();
    connect(slider, &QSlider::valueChanged, this, [&slideshow, slider](int value) {
        slideshow.sldMovie_Change(value);
        slider->setToolTip(QString::number(value) + u'/' + QString::number(slider->maximum())
                           + QStringLiteral("秒"));
    });
    connect(slider, &QSlider::sliderPressed, this,
            [&slideshow] { slideshow.sldMovie_MouseDown(); });
    connect(slider, &QSlider::sliderReleased, this, [&slideshow] { slideshow.sldMovie_MouseUp(); });
}

void MovieBar::setEnabled(bool enabled)
{
    m_enabled = enabled;
    QToolBar *bar = m_bars.movieBar();
    for (QAction *a : bar->actions())
        a->setEnabled(enabled);
    bar->setEnabled(enabled && m_viewLevel >= 2);
    m_bars.movieSlider()->setEnabled(enabled && m_duration > 0);
    // The menu itself, not only its item: a menu follows its window's enabling and sets its
    // item again, so a window enabled after a list build enabled the movie menus too.
    for (const QString &name : { QStringLiteral("mnuMovie"), QStringLiteral("mnuPopup_Movie"),
                                 QStringLiteral("mnuTasktray_Movie") }) {
        m_menus.menu(name)->setEnabled(enabled);
        m_menus.menu(name)->menuAction()->setEnabled(enabled);
    }
    for (const QString &name : { QStringLiteral("mnuFile_Exit"), QStringLiteral("mnuPopup_Quit"),
                                 QStringLiteral("mnuTasktray_Quit") })
        m_menus.action(name)->setEnabled(!enabled);
}

void MovieBar::setDuration(double seconds)
{
    m_duration = seconds;
    if (seconds > 0)
        m_bars.movieSlider()->setMaximum(int(std::lround(seconds)));
    m_bars.movieSlider()->setEnabled(m_enabled && seconds > 0);
}

void MovieBar::setSliderValue(int value)
{
    m_bars.movieSlider()->setValue(value);
}

void MovieBar::setClipPlayState(int state)
{
    if (state >= 0)
        m_clipPlayState = state;
    const bool playing = m_clipPlayState == 0;
    const bool paused = m_clipPlayState == 1;
    // Play stays available while a clip can be played again; pause only while it plays.
    for (const QString &prefix : { QStringLiteral("mnuMovie_"), QStringLiteral("mnuPopup_Movie_"),
                                   QStringLiteral("mnuTasktray_Movie_") }) {
        if (QAction *play = m_menus.action(prefix + QStringLiteral("Play")))
            play->setEnabled(playing || paused);
        if (QAction *pause = m_menus.action(prefix + QStringLiteral("Pause")))
            pause->setEnabled(playing);
    }
    m_bars.movieButton(QStringLiteral("play"))->setChecked(playing);
    m_bars.movieButton(QStringLiteral("pause"))->setChecked(paused);
}
