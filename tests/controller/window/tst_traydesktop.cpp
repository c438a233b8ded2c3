#include "DesktopSession.h"
#include "FakeServices.h"
#include "RecordingFileDialogService.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "controller/window/ControllerCommands.h"
#include "controller/window/ControllerMenus.h"
#include "controller/window/frmOptions.h"
#include "core/AppContext.h"
#include "core/SettingsStore.h"
#include "core/Startup.h"
#include "engine/Slideshow.h"
#include "viewer/window/frmView.h"
#include "winsvc/TrayIcon.h"

#include <QTabWidget>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDebug>
#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QWindow>

// The controller, the viewer and the tray icon on a real X display with a window manager and
// a tray, driven with the mouse as a user would. Where no such desktop can be had, the tests
// that need it are skipped and the menu checks run offscreen.
class TestTrayDesktop : public QObject
{
    Q_OBJECT

public:
    explicit TestTrayDesktop(DesktopSession &desktop)
        : m_desktop(desktop)
    { }

private:
    DesktopSession &m_desktop;
    std::unique_ptr<Sandbox> m_box;
    std::unique_ptr<AppContext> m_ctx;
    FakeClock *m_clock = nullptr;
    std::unique_ptr<Slideshow> m_show;
    std::unique_ptr<frmOptions> m_window;
    std::unique_ptr<frmView> m_viewer;
    // When the last click of the mouse was made, on anything.
    mutable QElapsedTimer m_lastClick;

    void open()
    {
        auto clock = std::make_unique<FakeClock>();
        m_clock = clock.get();
        m_ctx = std::make_unique<AppContext>(
            m_box->path(u"config"_qs), std::make_unique<RecordingMessageService>(),
            std::make_unique<RecordingFileDialogService>(), std::move(clock));
        m_show = std::make_unique<Slideshow>(m_ctx->options, *m_ctx->messages, *m_ctx->clock,
                                             *m_ctx->random, *m_ctx->events);
        m_window = std::make_unique<frmOptions>(*m_ctx);
        m_viewer = std::make_unique<frmView>(m_ctx->options, *m_show);
        m_show->setViewer(m_viewer.get());
        m_window->attach(*m_show, *m_viewer);
        m_window->Form_Load();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    bool trayReady()
    {
        if (!m_desktop.startTray())
            return false;
        return QTest::qWaitFor([] { return TrayIcon::isAvailable(); }, 20000);
    }
    // Starts a show of the three pictures from the first, as "lunetta <folder>" does; the
    // controller is minimised by default.
    void startShow()
    {
        Startup::dispatchArgument(m_box->path(u"pics/"_qs), *m_window->commands(),
                                  *m_ctx->messages);
        QVERIFY(m_show->isRunning());
    }
    QAction *action(const QString &name) const { return m_window->menus().action(name); }
    // Until the icon is in the tray; says where the controller is should it never get there.
    bool iconInTray() const
    {
        if (QTest::qWaitFor([this] { return nativeIcon() && nativeIcon()->isVisible(); }, 20000))
            return true;
        qWarning() << "controller visible" << m_window->isVisible() << "states"
                   << m_window->windowHandle()->windowStates() << "icon shown"
                   << m_window->isTrayIconShown() << "tray" << TrayIcon::isAvailable();
        return false;
    }
    QSystemTrayIcon *nativeIcon() const
    {
        return m_window->trayIcon() ? m_window->trayIcon()->findChild<QSystemTrayIcon *>()
                                    : nullptr;
    }
    bool clickAt(QPoint global, const QString &button) const
    {
        const bool clicked
            = m_desktop.xdotool({ u"mousemove"_qs, QString::number(global.x()),
                                  QString::number(global.y()), u"click"_qs, button });
        m_lastClick.start();
        return clicked;
    }
    // Until a click now would no longer make a double click with the one before.
    void waitPastDoubleClick() const
    {
        const int interval = QApplication::doubleClickInterval() + 100;
        QVERIFY(!m_lastClick.isValid()
                || QTest::qWaitFor([this, interval] { return m_lastClick.hasExpired(interval); },
                                   interval + 10000));
    }
    bool clickTrayIcon(const QString &button, const QStringList &extra = {}) const
    {
        QSystemTrayIcon *icon = nativeIcon();
        if (!icon || !icon->isVisible())
            return false;
        // The tray embeds a new icon and lays its icons out again for a while after: the click
        // waits until the icon has held its place for a moment.
        QRect seen;
        QElapsedTimer held;
        const bool settled = QTest::qWaitFor(
            [&] {
                const QRect now = icon->geometry();
                if (now.isEmpty() || now != seen) {
                    seen = now;
                    held.start();
                    return false;
                }
                return held.hasExpired(300);
            },
            15000);
        if (!settled)
            return false;
        const QPoint c = seen.center();
        const bool clicked
            = m_desktop.xdotool(QStringList { u"mousemove"_qs, QString::number(c.x()),
                                              QString::number(c.y()), u"click"_qs }
                                + extra + QStringList { button });
        m_lastClick.start();
        return clicked;
    }
    // The menu runs its own event loop: the choice has to be made from inside it.
    void chooseWhenOpen(QMenu *menu, QAction *item)
    {
        // Goes with the menu, should the test end before it opens.
        auto *poll = new QTimer(menu);
        connect(poll, &QTimer::timeout, this, [this, poll, menu, item] {
            if (!menu->isVisible())
                return;
            poll->deleteLater();
            const QRect r = menu->actionGeometry(item);
            clickAt(menu->mapToGlobal(r.center()), u"1"_qs);
        });
        poll->start(100);
    }
    // Neither the controller nor the viewer nor the icon left: the program would be beyond
    // the user's reach.
    bool reachable() const
    {
        return m_window->isVisible() || m_window->isTrayIconShown() || m_viewer->isVisible();
    }
    void expectNormalController()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isVisible(), 20000);
        // The window system reports a new state a little later; it must not take the window
        // away again.
        QTest::qWait(800);
        QVERIFY(m_window->isVisible());
        QVERIFY(!m_window->isMinimized());
        QVERIFY(!m_window->isTrayIconShown());
        QCOMPARE(m_window->windowHandle()->windowStates(), Qt::WindowNoState);
    }

private slots:
    void init()
    {
        m_box = std::make_unique<Sandbox>();
        QImage picture(64, 48, QImage::Format_RGB32);
        for (const QString &name : { u"a.png"_qs, u"b.png"_qs, u"c.png"_qs }) {
            picture.fill(QColor(name == u"a.png" ? Qt::darkCyan : Qt::darkMagenta));
            m_box->folder(u"pics"_qs);
            picture.save(m_box->path(u"pics/"_qs + name));
        }
    }
    void cleanup()
    {
        m_window.reset();
        m_viewer.reset();
        m_show.reset();
        m_ctx.reset();
        m_desktop.stopTray();
    }

    void aShowStartedMinimisedGoesIntoTheTrayAndMovesOn()
    {
        if (!m_desktop.isReady())
            QSKIP(qPrintable(u"needs a desktop with a tray: "_qs + m_desktop.missing()));
        QVERIFY(trayReady());
        open();
        for (int run = 1; run <= 2; ++run) {
            startShow();
            QTRY_VERIFY_WITH_TIMEOUT(m_window->isTrayIconShown(), 20000);
            QVERIFY(iconInTray());
            QTest::qWait(800); // the window system's answer to the hiding
            QVERIFY2(m_window->isTrayIconShown(), "the icon went away by itself");
            QVERIFY(!m_window->isVisible());
            QVERIFY2(!m_show->isPaused(), "the show paused by itself");
            m_clock->advance(11);
            QTRY_COMPARE_WITH_TIMEOUT(m_show->currentIndex, 2, 20000);
            // A stop from the tool bar, then the same again in the same run.
            m_window->commands()->stopSlideshow();
            expectNormalController();
        }
    }

    void theTrayMenuStopsTheShowAndBringsTheControllerBack()
    {
        if (!m_desktop.isReady())
            QSKIP(qPrintable(u"needs a desktop with a tray: "_qs + m_desktop.missing()));
        QVERIFY(trayReady());
        open();
        startShow();
        QVERIFY(iconInTray());
        waitPastDoubleClick();
        chooseWhenOpen(m_window->menus().mnuTasktray(), action(u"mnuTasktray_Stop"_qs));
        QVERIFY(clickTrayIcon(u"3"_qs));
        QTRY_VERIFY_WITH_TIMEOUT(!m_show->isRunning(), 20000);
        QVERIFY(!m_viewer->isVisible());
        expectNormalController();

        // A double click brings the controller back during a show and pauses it.
        startShow();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isTrayIconShown(), 20000);
        QVERIFY(iconInTray());
        waitPastDoubleClick();
        QVERIFY(clickTrayIcon(u"1"_qs, { u"--repeat"_qs, u"2"_qs, u"--delay"_qs, u"80"_qs }));
        expectNormalController();
        QVERIFY(m_show->isRunning());
        QVERIFY(m_show->isPaused());
    }

    void theIconShowsTheShowAndTakesClicks()
    {
        if (!m_desktop.isReady())
            QSKIP(qPrintable(u"needs a desktop with a tray: "_qs + m_desktop.missing()));
        QVERIFY(trayReady());
        // The second name takes three bytes a character, too many for the tip.
        const QString longName = QString(30, u'あ') + u".png"_qs;
        m_box->folder(u"long"_qs);
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkYellow);
        for (const QString &name : { u"1.png"_qs, longName })
            QVERIFY(picture.save(m_box->path(u"long/"_qs + name)));
        open();
        Startup::dispatchArgument(m_box->path(u"long/"_qs), *m_window->commands(),
                                  *m_ctx->messages);
        QVERIFY(m_show->isRunning());
        QVERIFY(iconInTray());
        TrayIcon *tray = m_window->trayIcon();
        QCOMPARE(tray->image(), u"Pause"_qs);
        m_clock->advance(11);
        QTRY_COMPARE_WITH_TIMEOUT(m_show->currentIndex, 2, 20000);
        QCOMPARE(tray->tip(), u"Lunetta - "_qs + longName.left(17));
        QCOMPARE(nativeIcon()->toolTip(), tray->tip());

        // A click pauses, the next one resumes; the window stays in the tray. Clicks closer
        // together than the double-click time make a double click, which brings the window back.
        waitPastDoubleClick();
        QVERIFY(clickTrayIcon(u"1"_qs));
        QTRY_VERIFY_WITH_TIMEOUT(m_show->isPaused(), 20000);
        QCOMPARE(tray->image(), u"Play"_qs);
        waitPastDoubleClick();
        QVERIFY(clickTrayIcon(u"1"_qs));
        QTRY_VERIFY_WITH_TIMEOUT(!m_show->isPaused(), 20000);
        QCOMPARE(tray->image(), u"Pause"_qs);
        QVERIFY(!m_window->isVisible());

        // Quitting from the tray menu takes the icon away.
        action(u"mnuTasktray_Quit"_qs)->trigger();
        QVERIFY(!m_window->isTrayIconShown());
        QTRY_VERIFY_WITH_TIMEOUT(!nativeIcon()->isVisible(), 20000);
    }

    void theControllerFollowsTheTray()
    {
        if (!m_desktop.isReady())
            QSKIP(qPrintable(u"needs a desktop with a tray: "_qs + m_desktop.missing()));
        // The tray starts after the program.
        open();
        QVERIFY(trayReady());
        startShow();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isTrayIconShown(), 20000);
        QVERIFY(!m_window->isVisible());

        // The tray goes away during the show: the controller is a minimised window again.
        m_desktop.stopTray();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isVisible(), 4000);
        QVERIFY(m_window->isMinimized());
        QVERIFY(!m_window->isTrayIconShown());
        QVERIFY(m_show->isRunning() && !m_show->isPaused());

        // It comes back: so does the icon.
        QVERIFY(m_desktop.startTray());
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isTrayIconShown(), 5000);
        QVERIFY(!m_window->isVisible());

        // The show ends by itself: the controller comes back in the normal state.
        QVERIFY(QTest::qWaitFor(
            [this] {
                m_clock->advance(11);
                return !m_show->isRunning();
            },
            20000));
        expectNormalController();
    }

    void theMenuBarsAccessKeysComeFirst()
    {
        if (!m_desktop.isReady())
            QSKIP(qPrintable(u"needs a desktop: "_qs + m_desktop.missing()));
        open();
        m_window->optionTabs()->setCurrentIndex(1); // 表示する順序, with an option on "(&F)"
        auto *option = m_window->findChild<QAbstractButton *>(u"optSortByFileName"_qs);
        QVERIFY(option && option->isVisible());
        const bool checked = option->isChecked();
        QMenu *file = m_window->menus().menu(u"mnuFile"_qs);
        m_window->activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isActiveWindow(), 20000);
        auto press = [this](const char *keys) {
            QVERIFY(m_desktop.xdotool({ u"key"_qs, QString::fromLatin1(keys) }));
        };

        press("alt+f");
        QTRY_VERIFY_WITH_TIMEOUT(file->isVisible(), 20000);
        // Again: on to the option that shares the key, which only takes the focus.
        press("alt+f");
        QTRY_VERIFY_WITH_TIMEOUT(option->hasFocus(), 20000);
        QVERIFY(!file->isVisible());
        QCOMPARE(option->isChecked(), checked);
        // Once more back to the menu, where X quits.
        press("alt+f");
        QTRY_VERIFY_WITH_TIMEOUT(file->isVisible(), 20000);
        press("x");
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->isVisible(), 20000);
    }

    void everyContextMenuItemIsSafeInEveryState_data()
    {
        QTest::addColumn<QString>("state");
        for (const char *state : { "stopped", "running", "paused", "hidden", "ended" })
            QTest::newRow(state) << QString::fromLatin1(state);
    }
    void everyContextMenuItemIsSafeInEveryState()
    {
        QFETCH(QString, state);
        if (m_desktop.isReady())
            QVERIFY(trayReady());
        open();
        QList<QAction *> items;
        for (QMenu *menu : { m_window->menus().mnuTasktray(), m_window->menus().mnuPopup() }) {
            for (QAction *a : menu->findChildren<QAction *>()) {
                if (!a->menu() && !a->isSeparator() && !a->objectName().endsWith(u"_Quit"))
                    items << a;
            }
        }
        QVERIFY(items.size() >= 40);
        // Dialogs that a command opens are cancelled at once.
        QTimer dismiss;
        connect(&dismiss, &QTimer::timeout, this, [] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                dialog->reject();
        });
        dismiss.start(50);

        for (QAction *item : items) {
            if (m_show->isRunning())
                m_window->commands()->stopSlideshow();
            if (state != u"stopped")
                startShow();
            if (state == u"paused")
                m_show->pauseSlideshow();
            else if (state == u"hidden")
                action(u"mnuTasktray_Hide"_qs)->trigger();
            else if (state == u"ended") {
                action(u"mnuTasktray_LastFile"_qs)->trigger();
                m_clock->advance(11);
                QTRY_VERIFY_WITH_TIMEOUT(!m_show->isRunning(), 20000);
            }
            // What the state change and the command leave queued runs before the checks.
            QCoreApplication::processEvents();
            if (item->isEnabled())
                item->trigger();
            QCoreApplication::processEvents();
            QVERIFY2(reachable(), qPrintable(item->objectName()));
            if (!m_show->isRunning())
                QVERIFY2(!m_viewer->isVisible(), qPrintable(item->objectName()));
        }
        // Quit last, from the tray, in the middle of a show: the settings are written.
        if (!m_show->isRunning())
            startShow();
        action(u"mnuTasktray_Quit"_qs)->trigger();
        QVERIFY(!m_window->isVisible());
        QVERIFY(!m_ctx->store.GetSetting(u"Jump"_qs, u"LastFile"_qs).isEmpty());
    }
};

int main(int argc, char **argv)
{
    DesktopSession desktop;
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    if (!desktop.isReady())
        qInfo("SKIP desktop tests: %s", qPrintable(desktop.missing()));
    TestTrayDesktop test(desktop);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_traydesktop.moc"
