#pragma once

#include <QSize>
#include <QString>

// What a player's options dialog tells about the clip it plays.
struct PlaybackInfo
{
    QString fileName;
    QString videoCodec;
    QString audioCodec;
    QSize size;
    double duration = 0; // seconds; 0 when unknown
    double position = 0;
};
