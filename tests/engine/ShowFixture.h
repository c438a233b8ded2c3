#pragma once

#include "FakeEnginePorts.h"
#include "FakeServices.h"
#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "core/Options.h"
#include "core/PathFunctions.h"
#include "engine/Slideshow.h"

// A slideshow wired to fake windows, players and services, over files in a sandbox.
struct ShowFixture
{
    ShowFixture()
        : show(options, messages, clock, random, events)
    {
        show.setViewer(&viewer);
        show.setController(&controller);
        show.setMoviePlayer(&movie);
        show.setRealPlayer(&real);
        show.setMusicPlayer(&music);
    }

    // Puts files named as given into the list, in that order; files named "*.mp4" are movies.
    void fill(const QStringList &names)
    {
        for (const QString &name : names) {
            show.playList.appendToPlayList(box.file(name));
            if (name.endsWith(QStringLiteral(".mp4")))
                viewer.unreadable.insert(name);
        }
        movie.accept = true;
        show.nextIndex = 1;
    }
    // Numbered pictures "1.jpg" … "<count>.jpg".
    void fillNumbered(int count)
    {
        QStringList names;
        for (int i = 1; i <= count; ++i)
            names << QString::number(i) + QStringLiteral(".jpg");
        fill(names);
    }
    // The file name of what the last display step put on screen.
    QString onScreen() const { return GetFileName(viewer.statusFileName); }
    void tickAt(double seconds)
    {
        clock.now = seconds;
        show.viewerTick();
    }

    Sandbox box;
    Options options;
    RecordingMessageService messages;
    FakeClock clock;
    FakeRandom random;
    FakeEventPump events;
    FakeViewer viewer;
    FakeController controller;
    FakeMoviePlayer movie;
    FakeRealPlayer real;
    FakeMusicPlayer music;
    Slideshow show;
};
