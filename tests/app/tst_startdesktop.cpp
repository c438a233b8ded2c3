#include "DesktopSession.h"
#include "Sandbox.h"

#include "winsvc/X11WorkArea.h"

#include <QApplication>
#include <QColorSpace>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>

using namespace Qt::StringLiterals;

// A property of the display's root window, set for the life of the object: `value` holds
// items of `format` bits.
class RootProperty
{
public:
    RootProperty(const QString &name, const QByteArray &value, int format = 8)
    {
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        m_connection = x11 ? x11->connection() : nullptr;
        if (!m_connection)
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const QByteArray atomName = name.toLatin1();
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            m_connection,
            xcb_intern_atom(m_connection, 0, uint16_t(atomName.size()), atomName.constData()),
            nullptr);
        m_atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_root, m_atom, XCB_ATOM_CARDINAL,
                            uint8_t(format), uint32_t(value.size() / (format / 8)),
                            value.constData());
        xcb_flush(m_connection);
    }
    ~RootProperty()
    {
        if (m_connection && m_atom != XCB_ATOM_NONE) {
            xcb_delete_property(m_connection, m_root, m_atom);
            xcb_flush(m_connection);
        }
    }
    bool isSet() const { return m_connection && m_atom != XCB_ATOM_NONE; }

private:
    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_atom = XCB_ATOM_NONE;
};

// The real program started with a folder, on a display with a window manager, as users start
// it: what they see on the screen, not what the program believes it shows.
class TestStartDesktop : public QObject
{
    Q_OBJECT
public:
    explicit TestStartDesktop(DesktopSession &desktop)
        : m_desktop(desktop)
    { }

private:
    DesktopSession &m_desktop;

    // xdotool's answer on the private display, trimmed; empty when it failed.
    static QString xdotool(const QStringList &args)
    {
        QProcess p;
        p.start(u"xdotool"_s, args);
        if (!p.waitForFinished(10000) || p.exitCode() != 0)
            return QString();
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

    // The outer rectangle of the visible window whose title is `title`; empty while none is.
    static QRect windowRect(const QString &title)
    {
        const QString id = xdotool({ u"search"_s, u"--onlyvisible"_s, u"--name"_s,
                                     u"^"_s + QRegularExpression::escape(title) + u"$"_s })
                               .section(u'\n', 0, 0);
        if (id.isEmpty())
            return QRect();
        const QString shell = xdotool({ u"getwindowgeometry"_s, u"--shell"_s, id });
        QHash<QString, int> v;
        for (const QString &line : shell.split(u'\n')) {
            const QString key = line.section(u'=', 0, 0);
            v.insert(key, line.section(u'=', 1).toInt());
        }
        return QRect(v.value(u"X"_s), v.value(u"Y"_s), v.value(u"WIDTH"_s), v.value(u"HEIGHT"_s));
    }

    // The program on the box's "pics" folder with the box's settings, on this display.
    static bool startOnFolder(QProcess &lunetta, const Sandbox &box)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"LUNETTA_CONFIG_DIR"_s, box.path(u"config"_s));
        env.remove(u"QT_QPA_PLATFORM"_s);
        lunetta.setProcessEnvironment(env);
        lunetta.start(QStringLiteral(LUNETTA_BINARY), { box.path(u"pics"_s) });
        return lunetta.waitForStarted();
    }

    static QRgb screenPixel(const QPoint &at)
    {
        QScreen *screen = QGuiApplication::primaryScreen();
        return screen->grabWindow(0, at.x(), at.y(), 1, 1).toImage().pixel(0, 0) & 0xffffff;
    }

private slots:
    void initTestCase()
    {
        if (!m_desktop.isReady())
            QSKIP(qPrintable(m_desktop.missing()));
    }

    // The show's viewer opens above the controller, active, whether the picture leaves room
    // beside the controller or covers its place; on a first start the two open side by side.
    void theViewerIsOnTopAtStart_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<bool>("sideBySide");
        QTest::newRow("small picture") << QSize(400, 300) << true;
        QTest::newRow("picture as wide as the screen") << QSize(1500, 800) << false;
    }
    void theViewerIsOnTopAtStart()
    {
        QFETCH(QSize, picture);
        QFETCH(bool, sideBySide);
        Sandbox box;
        QImage image(picture, QImage::Format_RGB32);
        image.fill(QColor(0xff, 0x00, 0xff));
        QVERIFY(image.save(box.folder(u"pics"_s) + u"pic.png"_s));
        box.file(u"config/Lunetta.ini"_s, "[Options]\nchkMinWhenStart=0\n");

        QProcess lunetta;
        QVERIFY(startOnFolder(lunetta, box));
        const QString controllerTitle = box.path(u"pics/"_s) + u" - Lunetta"_s;

        // Both windows mapped, the controller last: it is built once the picture is painted.
        QTRY_VERIFY_WITH_TIMEOUT(windowRect(controllerTitle).isValid(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(windowRect(u"pic.png"_s).isValid(), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(xdotool({ u"getactivewindow"_s, u"getwindowname"_s }),
                                  u"pic.png"_s, 20000);
        const QRect viewer = windowRect(u"pic.png"_s);
        QTRY_COMPARE_WITH_TIMEOUT(screenPixel(viewer.center()), QRgb(0xff00ff), 20000);
        // The controller is placed once more when the window manager has framed it, and the
        // viewer sized again for the frame: both are read afresh until they settle.
        QTRY_COMPARE_WITH_TIMEOUT(!windowRect(u"pic.png"_s).intersects(windowRect(controllerTitle)),
                                  sideBySide, 10000);

        lunetta.terminate();
        QVERIFY(lunetta.waitForFinished(20000));
    }

    // On a first start the controller goes out of the way of the show as the option says, and
    // stays so: the window manager, asked to minimise it before it had the window, mapped it
    // normally, and that looked like the user restoring it, which pauses the show.
    void aFirstStartMinimisesTheControllerAndTheShowRunsOn()
    {
        Sandbox box;
        QImage image(200, 150, QImage::Format_RGB32);
        for (const char *name : { "a.png", "b.png" }) {
            image.fill(QColor(0x00, 0x80, 0x80));
            QVERIFY(image.save(box.folder(u"pics"_s) + QString::fromLatin1(name)));
        }
        box.file(u"config/Lunetta.ini"_s, "[Options]\nchkMinWhenStart=1\ntxtMinutes=1\n");

        QProcess lunetta;
        QVERIFY(startOnFolder(lunetta, box));
        const QString controllerTitle = box.path(u"pics/"_s) + u" - Lunetta"_s;

        QTRY_VERIFY_WITH_TIMEOUT(windowRect(u"a.png"_s).isValid(), 30000);
        // The show moves on by itself: it was not paused.
        QTRY_VERIFY_WITH_TIMEOUT(windowRect(u"b.png"_s).isValid(), 30000);
        QVERIFY(!windowRect(controllerTitle).isValid());

        lunetta.terminate();
        QVERIFY(lunetta.waitForFinished(20000));
    }

    // Where a colour manager published the screen's profile on the root window, a photo with a
    // profile of its own is shown in the screen's colours, not in sRGB's.
    void aPhotoIsShownInTheScreensColours()
    {
        const QColorSpace screenSpace(QColorSpace::DisplayP3);
        RootProperty profile(u"_ICC_PROFILE"_s, screenSpace.iccProfile());
        QVERIFY(profile.isSet());
        Sandbox box;
        const QColor stored(180, 120, 60);
        QImage image(300, 200, QImage::Format_RGB32);
        image.fill(stored);
        image.setColorSpace(QColorSpace::AdobeRgb);
        QVERIFY(image.save(box.folder(u"pics"_s) + u"adobe.png"_s));
        box.file(u"config/Lunetta.ini"_s, "[Options]\nchkMinWhenStart=1\n");

        QProcess lunetta;
        QVERIFY(startOnFolder(lunetta, box));
        QTRY_VERIFY_WITH_TIMEOUT(windowRect(u"adobe.png"_s).isValid(), 30000);
        const QColor meant = QColorSpace(QColorSpace::AdobeRgb)
                                 .transformationToColorSpace(screenSpace)
                                 .map(stored);
        const auto shownAsMeant = [&] {
            const QColor shown = QColor::fromRgb(screenPixel(windowRect(u"adobe.png"_s).center()));
            return qAbs(shown.red() - meant.red()) <= 2 && qAbs(shown.green() - meant.green()) <= 2
                && qAbs(shown.blue() - meant.blue()) <= 2;
        };
        QTRY_VERIFY_WITH_TIMEOUT(shownAsMeant(), 20000);

        lunetta.terminate();
        QVERIFY(lunetta.waitForFinished(20000));
    }

    // The work area read from the server before the application is made, on a connection of
    // its own, is the one the screen then gives: a first start's decode begun on it is kept.
    // Also where a panel takes part of the screen.
    void theWorkAreaReadBeforeTheApplicationIsTheScreens()
    {
        QScreen *screen = QGuiApplication::primaryScreen();
        QCOMPARE(X11WorkArea::read(), screen->availableGeometry().size());
        const QRect withPanel = screen->geometry().adjusted(0, 0, 0, -40);
        const quint32 area[] = { quint32(withPanel.x()), quint32(withPanel.y()),
                                 quint32(withPanel.width()), quint32(withPanel.height()) };
        RootProperty published(u"_NET_WORKAREA"_s,
                               QByteArray(reinterpret_cast<const char *>(area), sizeof area), 32);
        QVERIFY(published.isSet());
        QTRY_COMPARE_WITH_TIMEOUT(screen->availableGeometry(), withPanel, 10000);
        QCOMPARE(X11WorkArea::read(), withPanel.size());
    }
};

int main(int argc, char **argv)
{
    // The display and the window manager must be there before the application is made.
    DesktopSession desktop;
    QApplication app(argc, argv);
    TestStartDesktop test(desktop);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startdesktop.moc"
