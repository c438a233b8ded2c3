// Runs a slideshow in the viewer window without the controller: builds the runtime list from
// the files and folders given and starts the show at page n, which then goes on by itself
// (interval, loop, order as set with --set, e.g. --set txtMinutes=2 --set chkLoop=1).
//
//   viewer_demo [--set option=value]... [--at x,y,width,height] [--page n]
//               [--quit-after ms] path...
#include "core/Clock.h"
#include "core/EventPump.h"
#include "core/LoggingMessageService.h"
#include "core/Options.h"
#include "core/RandomSource.h"
#include "engine/Slideshow.h"
#include "viewer/window/frmView.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lunetta"));

    Options options;
    QStringList paths;
    QRect at;
    int page = 1;
    int quitAfter = 0;
    const QStringList args = QApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const QString next = i + 1 < args.size() ? args.at(i + 1) : QString();
        if (a == u"--set") {
            const QString name = next.section(u'=', 0, 0);
            const auto id = Options::find(name);
            if (!id || !options.applyStoredValue(*id, next.section(u'=', 1))) {
                std::fprintf(stderr, "cannot set %s\n", qPrintable(next));
                return 2;
            }
            ++i;
        } else if (a == u"--at") {
            const QStringList v = next.split(u',');
            if (v.size() == 4)
                at = QRect(v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt());
            ++i;
        } else if (a == u"--page") {
            page = next.toInt();
            ++i;
        } else if (a == u"--quit-after") {
            quitAfter = next.toInt();
            ++i;
        } else if (QFileInfo(a).isDir()) {
            const QDir folder(a);
            for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
                paths << folder.absoluteFilePath(name);
        } else {
            paths << QFileInfo(a).absoluteFilePath();
        }
    }
    if (paths.isEmpty()) {
        std::fprintf(stderr,
                     "usage: viewer_demo [--set option=value]... [--at x,y,w,h] "
                     "[--page n] [--quit-after ms] path...\n");
        return 2;
    }

    QTemporaryDir dir;
    LoggingMessageService messages(dir.filePath(QStringLiteral("messages.log")));
    SystemClock clock;
    SystemRandom random;
    QtEventPump events;
    Slideshow show(options, messages, clock, random, events);
    frmView view(options, show);
    if (at.isValid()) {
        view.move(at.topLeft());
        view.resize(at.size());
    }

    for (const QString &p : paths)
        show.playList.appendToPlayList(p);
    show.nextIndex = page;
    show.startSlideshow();
    if (show.stateFlags == 0) {
        std::fprintf(stderr, "nothing to show\n");
        return 1;
    }

    // Closing the viewer or reaching the end of the list stops the show; then the demo ends.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        if (show.stateFlags == 0)
            app.quit();
    });
    watch.start(100);
    if (quitAfter > 0)
        QTimer::singleShot(quitAfter, &app, &QApplication::quit);
    return QApplication::exec();
}
