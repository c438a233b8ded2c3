#include "winsvc/MessageListener.h"
#include "winsvc/clsMessage.h"

#include <QCoreApplication>
#include <QTest>

#include <stdexcept>

namespace {

// A window whose own processing of a message answers 100 + its number.
class Window : public QObject
{
public:
    QStringList &log;
    explicit Window(QStringList &l)
        : log(l)
    { }
    bool event(QEvent *e) override
    {
        if (e->type() != clsMessage::MessageEvent::eventType())
            return QObject::event(e);
        auto *m = static_cast<clsMessage::MessageEvent *>(e);
        log << u"window:"_qs + QString::number(m->uMsg);
        m->result = 100 + m->uMsg;
        return true;
    }
};

// What a listener does is told by its recipe: "name", then ":handle=N", ":send=N" (a message of its
// own to the window while it runs), ":throw", ":child" (listens to the child control only),
// ":left" (subscribes, then leaves again).
class Listener : public MessageListener
{
public:
    QString name;
    QString action;
    qintptr value = 0;
    QStringList &log;
    Listener(const QString &recipe, QStringList &l)
        : log(l)
    {
        const QStringList parts = recipe.split(u':');
        name = parts.value(0);
        const QStringList act = parts.value(1).split(u'=');
        action = act.value(0);
        value = act.value(1).toLongLong();
    }
    qintptr CallBackWindow(QObject *hWnd, int uMsg, qintptr, qintptr, bool &booReturn) override
    {
        if (uMsg >= clsMessage::QtEventMessage)
            return 0;
        log << name + u':' + QString::number(uMsg);
        if (action == u"send")
            clsMessage::sendMessage(hWnd, int(value), 0, 0);
        if (action == u"throw")
            throw std::runtime_error("listener failed");
        if (action == u"handle") {
            booReturn = true;
            return value;
        }
        return 7;
    }
};

} // namespace

class TestClsMessage : public QObject
{
    Q_OBJECT

private slots:
    void messagesReachListenersThenTheWindow_data()
    {
        QTest::addColumn<QStringList>("listeners");
        QTest::addColumn<int>("message");
        QTest::addColumn<QStringList>("expectedLog");
        QTest::addColumn<qint64>("expectedResult");

        const int hotKey = clsMessage::WM_HOTKEY;
        QTest::newRow("unhandled: listeners in order, then the window")
            << QStringList { u"a"_qs, u"b"_qs } << hotKey
            << QStringList { u"a:786"_qs, u"b:786"_qs, u"window:786"_qs } << qint64(886);
        QTest::newRow("a message sent while a listener runs reaches only the window")
            << QStringList { u"a:send=900"_qs, u"b"_qs } << hotKey
            << QStringList { u"a:786"_qs, u"window:900"_qs, u"b:786"_qs, u"window:786"_qs }
            << qint64(886);
        QTest::newRow("a handled message skips the window and returns the listener's result")
            << QStringList { u"a:handle=42"_qs, u"b"_qs } << hotKey
            << QStringList { u"a:786"_qs, u"b:786"_qs } << qint64(7);
        QTest::newRow("the last listener's result stands")
            << QStringList { u"a"_qs, u"b:handle=42"_qs } << hotKey
            << QStringList { u"a:786"_qs, u"b:786"_qs } << qint64(42);
        QTest::newRow("a failing listener does not stop the next")
            << QStringList { u"t:throw"_qs, u"b:handle=5"_qs } << hotKey
            << QStringList { u"t:786"_qs, u"b:786"_qs } << qint64(5);
        QTest::newRow("a child's command goes to its listener first")
            << QStringList { u"a"_qs, u"c:child"_qs } << int(clsMessage::WM_COMMAND)
            << QStringList { u"c:273"_qs, u"a:273"_qs, u"window:273"_qs } << qint64(373);
        QTest::newRow("a child's notification names it in its header")
            << QStringList { u"c:child"_qs, u"a:handle=9"_qs } << int(clsMessage::WM_NOTIFY)
            << QStringList { u"c:78"_qs, u"a:78"_qs } << qint64(9);
        QTest::newRow("a child's listener alone hooks nothing")
            << QStringList { u"c:child"_qs } << int(clsMessage::WM_COMMAND)
            << QStringList { u"window:273"_qs } << qint64(373);
        QTest::newRow("removing the last subscriber gives the window its messages back")
            << QStringList { u"a:left"_qs } << hotKey << QStringList { u"window:786"_qs }
            << qint64(886);
    }
    void messagesReachListenersThenTheWindow()
    {
        QFETCH(QStringList, listeners);
        QFETCH(int, message);
        QFETCH(QStringList, expectedLog);
        QFETCH(qint64, expectedResult);

        QStringList log;
        Window window(log);
        QObject child;
        std::vector<std::unique_ptr<Listener>> objects;
        auto hook = std::make_shared<clsMessage>();
        for (const QString &recipe : listeners) {
            objects.push_back(std::make_unique<Listener>(recipe, log));
            Listener *l = objects.back().get();
            if (l->action == u"child")
                QVERIFY(hook->AddChildMessage(l, &child, true));
            else
                QVERIFY(hook->AddMessage(l, &window, true));
        }
        const bool subscribed = hook->MessageCount() > 0;
        QVERIFY(clsMessage::MessageClass(&window) == (subscribed ? hook : nullptr));
        for (const auto &l : objects) {
            if (l->action == u"left")
                QVERIFY(hook->DeleteMessage(l.get(), &window));
        }
        const bool hooked = hook->MessageCount() > 0;

        clsMessage::NotifyHeader header { &child, 1, 0 };
        const qintptr lParam = message == clsMessage::WM_NOTIFY ? reinterpret_cast<qintptr>(&header)
            : message == clsMessage::WM_COMMAND                 ? reinterpret_cast<qintptr>(&child)
                                                                : 0;
        QCOMPARE(qint64(clsMessage::sendMessage(&window, message, 0, lParam)), expectedResult);
        QCOMPARE(log, expectedLog);
        // The window names its hook only while the hook is installed.
        QVERIFY(clsMessage::MessageClass(&window) == (hooked ? hook : nullptr));
        QCOMPARE(window.property("clsMessage").isValid(), hooked);
    }

    void oneHookServesOneWindow()
    {
        QStringList log;
        Window first(log), second(log);
        QObject child;
        Listener a(u"a"_qs, log), b(u"b"_qs, log);
        auto hook = std::make_shared<clsMessage>();
        QVERIFY(hook->AddMessage(&a, &first, true));
        QVERIFY(!hook->AddMessage(&b, &second, true));
        QVERIFY(hook->AddChildMessage(&a, &child, true));
        QVERIFY(!hook->AddChildMessage(&b, &child, true));
        QVERIFY(!hook->DeleteMessage(&b, &first));
        // An entry that does not take messages is skipped.
        QVERIFY(hook->AddMessage(&b, &first, false));
        clsMessage::sendMessage(&first, clsMessage::WM_HOTKEY, 0, 0);
        QCOMPARE(log, (QStringList { u"a:786"_qs, u"window:786"_qs }));
        // The hook lives as long as its subscribers keep it; the window holds no reference.
        const std::weak_ptr<clsMessage> weak = hook;
        hook.reset();
        QVERIFY(weak.expired());
        QVERIFY(!clsMessage::MessageClass(&first));
        // A posted message arrives from the event loop.
        log.clear();
        clsMessage::postMessage(&second, clsMessage::WM_HOTKEY, 0, 0);
        QVERIFY(log.isEmpty());
        QCoreApplication::sendPostedEvents();
        QCOMPARE(log, QStringList { u"window:786"_qs });
    }
};

QTEST_GUILESS_MAIN(TestClsMessage)
#include "tst_clsmessage.moc"
