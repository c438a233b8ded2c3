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

// A codec the player names; empty where it names none.
QString codecName(const QMediaMetaData &meta, QMediaMetaData::Key key);
// Keeps the codec names a source reports first. Once playback runs, Qt 6.4's GStreamer backend
// quietly replaces them in the player's meta data with the first names of its codec lists
// ("MPEG1", "MP3"), so they are taken from the meta data's change signal, not read later.
void noteCodecs(const QMediaMetaData &meta, PlaybackInfo &codecs);
