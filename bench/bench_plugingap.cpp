// How long a Windows plug-in whose host misbehaves holds the event loop during a show: the
// longest time between two runs of a 10 ms timer, and how long each file took to come up. The
// host is played by the shell with the program's own time limits: one that greets and then
// never answers a call, and one that never greets. Uses only what the viewer, the engine and the
// bridge offered before their calls left the user-interface thread, so it measures both.
#include "FakeWindowsPlugin.h"

#include "core/MessageService.h"
#include "core/Options.h"
#include "core/SettingsStore.h"
#include "engine/Slideshow.h"
#include "viewer/plugins/SplayLibrary.h"
#include "viewer/plugins/cSusie.h"
#include "viewer/window/frmView.h"

#include "core/Clock.h"
#include "core/EventPump.h"
#include "core/RandomSource.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

class SilentMessages : public MessageService
{
public:
    MsgResult show(const MessageRequest &) override { return MsgResult::Ok; }
    std::optional<QString> inputBox(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
};
class NoonClock : public Clock
{
public:
    double secondsSinceMidnight() const override { return 43200; }
};
class FixedRandom : public RandomSource
{
public:
    double next() override { return 0.5; }
    void reseed() override { }
};
class NoPump : public EventPump
{
public:
    void processPendingEvents() override { }
};

void measure(const char *name, const QString &script, int files)
{
    QTemporaryDir dir;
    SilentMessages messages;
    NoonClock clock;
    FixedRandom random;
    NoPump events;
    Options options;
    SettingsStore store(dir.filePath(QStringLiteral("config")));
    Slideshow show(options, messages, clock, random, events);
    frmView view(options, show);
    cSusie susie(options, &view.picBack, messages, store);
    show.setViewer(&view);
    show.setPluginBridge(&susie);
    susie.library().setHostCommand([script](int, const QString &) {
        return QStringList { QStringLiteral("/bin/sh"), QStringLiteral("-c"), script };
    });
    const QString plugin = dir.filePath(QStringLiteral("stalls.spi"));
    QFile spi(plugin);
    if (!spi.open(QIODevice::WriteOnly) || spi.write(FakeWindowsPlugin::head()) != 0x100)
        return;
    spi.close();
    options.setSusiePlugins({ plugin });
    options.setCheck(Opt::chkUseSusiePlugin, 1);
    for (int i = 0; i < files; ++i) {
        QImage image(20 + i, 10, QImage::Format_RGB32);
        image.fill(Qt::darkBlue);
        const QString path = dir.filePath(QStringLiteral("%1.png").arg(i));
        image.save(path);
        show.playList.appendToPlayList(path);
    }
    show.nextIndex = 1;
    show.stateFlags = StateBit::Running;
    view.measureViewer();

    QElapsedTimer since;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, &tick,
                     [&] { longest = std::max(longest, since.restart()); });
    since.start();
    tick.start();
    std::printf("%s:", name);
    QElapsedTimer all;
    all.start();
    for (int i = 0; i < files; ++i) {
        QElapsedTimer took;
        took.start();
        show.showNextFile();
        // The file is up once its picture, of a size of its own, is in the viewer.
        while (view.pictureSize() != QSize(20 + i, 10) && took.elapsed() < 120000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        std::printf(" %lld", qint64(took.elapsed()));
        // The event loop runs a moment between two files, as between two steps of a show.
        QEventLoop between;
        QTimer::singleShot(20, &between, &QEventLoop::quit);
        between.exec();
    }
    longest = std::max(longest, since.elapsed());
    std::printf(" ms per file; %lld ms in all; longest event-loop gap %lld ms\n",
                qint64(all.elapsed()), longest);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The program's own time limits: a call 5 s, a start 60 s.
    const QString greets = QStringLiteral("printf '") + FakeWindowsPlugin::greeting()
        + QStringLiteral("'; sleep 300");
    measure("host silent after its greeting", greets, 5);
    measure("host that never greets", QStringLiteral("sleep 300"), 5);
    return 0;
}
