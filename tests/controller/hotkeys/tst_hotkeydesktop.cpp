#include "DesktopSession.h"
#include "FakeServices.h"
#include "RecordingFileDialogService.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "controller/window/ControllerCommands.h"
#include "controller/window/frmOptions.h"
#include "core/AppContext.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "core/Startup.h"
#include "engine/Slideshow.h"
#include "viewer/window/frmView.h"
#include "winsvc/TrayIcon.h"
#include "winsvc/XcbHotKeyBackend.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>

namespace {

// A second X client: a window of its own to hold the focus, and key grabs of its own.
class OtherClient
{
public:
    OtherClient()
        : m_c(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(m_c))
            return;
        m_screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        m_window = xcb_generate_id(m_c);
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, m_window, m_screen->root, 50, 600, 300, 200, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, m_screen->root_visual, 0, nullptr);
        xcb_map_window(m_c, m_window);
        xcb_flush(m_c);
    }
    ~OtherClient() { xcb_disconnect(m_c); }
    bool isReady() const { return m_screen != nullptr; }
    void takeFocus()
    {
        xcb_set_input_focus(m_c, XCB_INPUT_FOCUS_POINTER_ROOT, m_window, XCB_CURRENT_TIME);
        xcb_aux_sync();
    }
    bool hasFocus()
    {
        auto *reply = xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr);
        const bool ours = reply && reply->focus == m_window;
        std::free(reply);
        return ours;
    }
    bool grab(int virtualKey, int mask)
    {
        xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(m_c);
        xcb_keycode_t *codes
            = xcb_key_symbols_get_keycode(symbols, XcbHotKeyBackend::keysymOf(virtualKey));
        bool ok = codes && *codes != XCB_NO_SYMBOL;
        if (ok) {
            xcb_generic_error_t *error = xcb_request_check(
                m_c,
                xcb_grab_key_checked(m_c, 1, m_screen->root, XcbHotKeyBackend::modifiersOf(mask),
                                     codes[0], XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
            ok = !error;
            std::free(error);
        }
        std::free(codes);
        xcb_key_symbols_free(symbols);
        return ok;
    }

private:
    void xcb_aux_sync()
    {
        std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
    }
    xcb_connection_t *m_c;
    xcb_screen_t *m_screen = nullptr;
    xcb_window_t m_window = 0;
};

} // namespace

// Hot keys on a real X display: pressed while another program has the focus, and refused
// when another program holds the combination.
class TestHotKeyDesktop : public QObject
{
    Q_OBJECT

public:
    explicit TestHotKeyDesktop(DesktopSession &desktop)
        : m_desktop(desktop)
    { }

private:
    DesktopSession &m_desktop;
    std::unique_ptr<Sandbox> m_box;
    std::unique_ptr<AppContext> m_ctx;
    std::unique_ptr<Slideshow> m_show;
    std::unique_ptr<frmOptions> m_window;
    std::unique_ptr<frmView> m_viewer;

    RecordingMessageService &messages() const
    {
        return static_cast<RecordingMessageService &>(*m_ctx->messages);
    }
    void open()
    {
        m_ctx = std::make_unique<AppContext>(
            m_box->path(u"config"_qs), std::make_unique<RecordingMessageService>(),
            std::make_unique<RecordingFileDialogService>(), std::make_unique<FakeClock>());
        m_show = std::make_unique<Slideshow>(m_ctx->options, *m_ctx->messages, *m_ctx->clock,
                                             *m_ctx->random, *m_ctx->events);
        m_window = std::make_unique<frmOptions>(*m_ctx);
        m_viewer = std::make_unique<frmView>(m_ctx->options, *m_show);
        m_show->setViewer(m_viewer.get());
        m_window->attach(*m_show, *m_viewer);
        m_window->Form_Load();
        m_window->show();
        // The window manager activates the window some time after it is exposed; were that
        // still to come, it would take the focus from the other program in the tests below.
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    // Chooses function, key and modifiers on the page and presses "登録(&R)".
    void bind(const QString &function, const QString &key, bool ctrl, bool alt)
    {
        auto *functions = m_window->findChild<QListWidget *>(u"lstHotKey_Function"_qs);
        auto *keys = m_window->findChild<QListWidget *>(u"lstHotKey"_qs);
        functions->setCurrentItem(functions->findItems(function, Qt::MatchExactly).value(0));
        keys->setCurrentItem(keys->findItems(key, Qt::MatchExactly).value(0));
        m_window->findChild<QCheckBox *>(u"chkHotKey_Ctrl"_qs)->setChecked(ctrl);
        m_window->findChild<QCheckBox *>(u"chkHotKey_Alt"_qs)->setChecked(alt);
        m_window->findChild<QCheckBox *>(u"chkHotKey_Shift"_qs)->setChecked(false);
        m_window->findChild<QCheckBox *>(u"chkHotKey_Windows"_qs)->setChecked(false);
        m_window->findChild<QPushButton *>(u"cmdHotKey_Save"_qs)->click();
    }

private slots:
    void init()
    {
        if (!m_desktop.isReady())
            QSKIP(qPrintable(u"needs an X display: "_qs + m_desktop.missing()));
        m_box = std::make_unique<Sandbox>();
        QImage picture(64, 48, QImage::Format_RGB32);
        m_box->folder(u"pics"_qs);
        for (const QString &name : { u"a.png"_qs, u"b.png"_qs, u"c.png"_qs }) {
            picture.fill(Qt::darkCyan);
            picture.save(m_box->path(u"pics/"_qs + name));
        }
    }
    void cleanup()
    {
        m_window.reset();
        m_viewer.reset();
        m_show.reset();
        m_ctx.reset();
    }

    void aHotKeyMovesTheShowWhileAnotherProgramHasTheFocus()
    {
        open();
        bind(u"次の画像へ"_qs, u"N"_qs, true, true);
        QCOMPARE(messages().lastText(), u"登録しました。"_qs);
        QCOMPARE(m_ctx->store.GetSetting(SettingKeys::Section::HotKey, u"次の画像へ"_qs),
                 u"78,3"_qs);
        Startup::dispatchArgument(m_box->path(u"pics/"_qs), *m_window->commands(),
                                  *m_ctx->messages);
        QVERIFY(m_show->isRunning());
        QCOMPARE(m_show->currentIndex, 1);

        OtherClient other;
        QVERIFY(other.isReady());
        // The window manager maps the window a moment later; focus goes only to a mapped one.
        QTRY_VERIFY((other.takeFocus(), other.hasFocus()));
        QVERIFY(m_desktop.xdotool({ u"key"_qs, u"ctrl+alt+n"_qs }));
        QTRY_COMPARE(m_show->currentIndex, 2);
        // With NumLock on the key is the same hot key.
        QVERIFY(m_desktop.xdotool({ u"key"_qs, u"Num_Lock"_qs, u"ctrl+alt+n"_qs, u"Num_Lock"_qs }));
        QTRY_COMPARE(m_show->currentIndex, 3);
        QVERIFY(other.hasFocus());

        // Once the controller has gone, the key is free for other programs again.
        m_window.reset();
        OtherClient next;
        QVERIFY(next.grab('N', 3));
    }

    void aFunctionKeyMovesTheFileShownIntoItsFolder()
    {
        open();
        const QString keep = m_box->folder(u"keep"_qs);
        // The function frame: 機能0, 移動, the folder, 登録(&E).
        m_window->findChild<QComboBox *>(u"cmbFunction"_qs)->setCurrentIndex(0);
        m_window->findChild<QComboBox *>(u"cmbFunction_Operate"_qs)->setCurrentIndex(2);
        m_window->findChild<QLineEdit *>(u"txtFunction_Path"_qs)->setText(keep);
        m_window->findChild<QPushButton *>(u"cmdFunction_Save"_qs)->click();
        QCOMPARE(m_ctx->store.GetSetting(SettingKeys::Section::Function, u"0"_qs),
                 u"MV|"_qs + keep);
        bind(u"機能0"_qs, u"1"_qs, true, true);
        QCOMPARE(messages().lastText(), u"登録しました。"_qs);
        Startup::dispatchArgument(m_box->path(u"pics/"_qs), *m_window->commands(),
                                  *m_ctx->messages);
        QVERIFY(m_show->isRunning());
        QCOMPARE(m_show->currentIndex, 1);

        QVERIFY(m_desktop.xdotool({ u"key"_qs, u"ctrl+alt+1"_qs }));
        QTRY_VERIFY(QFile::exists(keep + u"a.png"_qs));
        QVERIFY(!QFile::exists(m_box->path(u"pics/a.png"_qs)));
        // The running list still names the old place, and nothing was asked or reported.
        QCOMPARE(m_show->playList.path(1), m_box->path(u"pics/a.png"_qs));
        QCOMPARE(messages().texts(), QStringList { u"登録しました。"_qs });
    }

    void aCombinationHeldByAnotherProgramIsRefused()
    {
        OtherClient other;
        QVERIFY(other.isReady());
        QVERIFY(other.grab('B', 3));
        open();
        bind(u"前の画像へ"_qs, u"B"_qs, true, true);
        QCOMPARE(messages().lastText(), u"登録に失敗しました。"_qs);
        QCOMPARE(messages().messages.last().icon, MsgIcon::Warning);
        QVERIFY(!m_ctx->store.hasSetting(SettingKeys::Section::HotKey, u"前の画像へ"_qs));
        // The page shows the function's stored binding again: none.
        QCOMPARE(m_window->findChild<QListWidget *>(u"lstHotKey"_qs)->currentItem()->text(),
                 u"（未登録）"_qs);
        // Another combination still registers.
        bind(u"前の画像へ"_qs, u"B"_qs, true, false);
        QCOMPARE(messages().lastText(), u"登録しました。"_qs);
    }

    void aWaylandSessionRefusesEveryKey()
    {
        QObject window;
        qputenv("WAYLAND_DISPLAY", "wayland-0");
        std::unique_ptr<HotKeyBackend> wayland = HotKeyBackend::create();
        qunsetenv("WAYLAND_DISPLAY");
        QVERIFY(!wayland->registerHotKey(&window, 1, 'W', 3));
        // The same display taken as a plain X11 session grants the key.
        QVERIFY(HotKeyBackend::create()->registerHotKey(&window, 1, 'W', 3));
    }
};

int main(int argc, char **argv)
{
    DesktopSession desktop;
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    if (!desktop.isReady())
        qInfo("SKIP desktop tests: %s", qPrintable(desktop.missing()));
    TestHotKeyDesktop test(desktop);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hotkeydesktop.moc"
