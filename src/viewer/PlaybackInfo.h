#pragma once

#include <QMediaMetaData>
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

// A codec the player names; empty where it names none (it then leaves the value unset).
QString codecName(const QMediaMetaData &meta, QMediaMetaData::Key key);
