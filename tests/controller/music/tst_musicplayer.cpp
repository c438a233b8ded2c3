#include "controller/music/BgmControl.h"
#include "controller/music/MusicPlayList.h"
#include "controller/music/MusicPlayer.h"
#include "controller/music/TrackPlayer.h"
#include "core/Options.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Plays nothing: records what was opened and ends the track when the test says so.
class FakeTrack : public TrackPlayer
{
public:
    bool openAndPlay(const QString &source) override
    {
        opened << source;
        if (broken.contains(source))
            return false;
        current = source;
        return true;
    }
    void close() override { current.clear(); }
    void play() override { ++plays; }
    void pause() override { ++pauses; }
    void stop() override { ++stops; }
    qint64 positionMs() const override { return 0; }
    qint64 durationMs() const override { return 1000; }
    void end() { onEnded(); }

    QStringList opened;
    QStringList broken;
    QString current;
    int plays = 0, pauses = 0, stops = 0;
};

QString writeList(const QTemporaryDir &dir, const QString &name, const QStringList &entries)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write((QStringLiteral("#EXTM3U\r\n") + entries.join(QStringLiteral("\r\n"))).toUtf8());
    return path;
}

} // namespace

class tst_MusicPlayer : public QObject
{
    Q_OBJECT
private slots:
    void readsPlayLists_data();
    void readsPlayLists();
    void playCountRepeatsOrEnds_data();
    void playCountRepeatsOrEnds();
    void skipsEntriesThatCannotPlay();
    void backAndForwardAtTheEnds();
    void startingEntryAndRemembering();
    void commandsFollowThePlayState();
};

void tst_MusicPlayer::readsPlayLists_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("pls");
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QStringList>("titles");

    QTest::newRow("m3u: relative, absolute, comments, titles")
        << QByteArray("#EXTM3U\r\n# a comment\r\n#EXTINF:123,First Song\r\nsub\\a.mp3\r\n\r\n"
                      "/music/b.ogg\r\n../c.wav\n")
        << false << QStringList { u"/lists/sub/a.mp3"_s, u"/music/b.ogg"_s, u"/c.wav"_s }
        << QStringList { u"First Song"_s, u"b"_s, u"c"_s };
    QTest::newRow("m3u8 with BOM and file URLs")
        << QByteArray("\xEF\xBB\xBF#EXTM3U\n#EXTINF:-1,曲\nfile:///music/%E6%9B%B2.mp3\n"
                      "http://radio.example/stream\n")
        << false << QStringList { u"/music/曲.mp3"_s, u"http://radio.example/stream"_s }
        << QStringList { u"曲"_s, u"http://radio.example/stream"_s };
    QStringEncoder cp932("CP932");
    QTest::newRow("m3u in CP932") << QByteArray(
        cp932.encode(QStringLiteral("#EXTINF:5,夜の曲\r\n音楽\\夜.mp3\r\n")))
                                  << false << QStringList { u"/lists/音楽/夜.mp3"_s }
                                  << QStringList { u"夜の曲"_s };
    QTest::newRow("pls: numbered entries in any order, bounded by NumberOfEntries")
        << QByteArray("[playlist]\r\nTitle2=Two\r\nFile2=two.mp3\r\nFile1=/m/one.mp3\r\n"
                      "File3=three.mp3\r\nNumberOfEntries=2\r\nVersion=2\r\n")
        << true << QStringList { u"/m/one.mp3"_s, u"/lists/two.mp3"_s }
        << QStringList { u"one"_s, u"Two"_s };
    QTest::newRow("empty") << QByteArray("#EXTM3U\r\n") << false << QStringList() << QStringList();
}

void tst_MusicPlayer::readsPlayLists()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, pls);
    QFETCH(QStringList, sources);
    QFETCH(QStringList, titles);
    QStringList gotSources, gotTitles;
    for (const MusicEntry &e : MusicPlayList::parse(bytes, QStringLiteral("/lists"), pls)) {
        gotSources << e.source;
        gotTitles << e.title;
    }
    QCOMPARE(gotSources, sources);
    QCOMPARE(gotTitles, titles);
}

void tst_MusicPlayer::playCountRepeatsOrEnds_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("playCount");
    QTest::addColumn<int>("ends");
    QTest::addColumn<int>("opens");
    QTest::addColumn<int>("state");

    QTest::newRow("single, endless") << 1 << 0 << 5 << 6 << int(MusicPlayer::Playing);
    QTest::newRow("single, once") << 1 << 1 << 1 << 1 << int(MusicPlayer::Stopped);
    QTest::newRow("list, endless") << 3 << 0 << 7 << 8 << int(MusicPlayer::Playing);
    QTest::newRow("list, twice") << 3 << 2 << 6 << 6 << int(MusicPlayer::Stopped);
    QTest::newRow("list, once, midway") << 3 << 1 << 2 << 3 << int(MusicPlayer::Playing);
}

void tst_MusicPlayer::playCountRepeatsOrEnds()
{
    QFETCH(int, entries);
    QFETCH(int, playCount);
    QFETCH(int, ends);
    QFETCH(int, opens);
    QFETCH(int, state);
    QTemporaryDir dir;
    QStringList names;
    for (int i = 1; i <= entries; ++i)
        names << QStringLiteral("t%1.wav").arg(i);
    const QString source
        = entries == 1 ? dir.filePath(names[0]) : writeList(dir, QStringLiteral("l.m3u"), names);
    FakeTrack track;
    MusicPlayer player(track);
    player.setPlayCount(playCount);
    player.setFileName(source);
    for (int i = 0; i < ends; ++i)
        track.end();
    QCOMPARE(track.opened.size(), opens);
    QCOMPARE(player.PlayState(), state);
    // Every entry is played in order, round after round.
    for (int i = 0; i < track.opened.size(); ++i)
        QCOMPARE(QFileInfo(track.opened[i]).fileName(), names[i % entries]);
    // A played-out source stays open: "play" starts it again at the first entry.
    if (state == MusicPlayer::Stopped) {
        QCOMPARE(player.GetCurrentEntry(), 1);
        player.Play();
        QCOMPARE(player.PlayState(), int(MusicPlayer::Playing));
    }
}

void tst_MusicPlayer::skipsEntriesThatCannotPlay()
{
    QTemporaryDir dir;
    const QString list
        = writeList(dir, QStringLiteral("l.m3u"),
                    { u"gone.mp3"_s, u"good.wav"_s, u"broken.wav"_s, u"also-good.wav"_s });
    FakeTrack track;
    track.broken = { dir.filePath(u"gone.mp3"_s), dir.filePath(u"broken.wav"_s) };
    MusicPlayer player(track);
    player.setFileName(list);
    QCOMPARE(player.GetCurrentEntry(), 2);
    track.end();
    QCOMPARE(player.GetCurrentEntry(), 4);
    // Endless: the round starts again, past the missing first entry.
    track.end();
    QCOMPARE(player.GetCurrentEntry(), 2);
    QCOMPARE(player.PlayState(), int(MusicPlayer::Playing));

    // Nothing plays: stopped after one try of each entry, no endless retrying.
    track.opened.clear();
    track.broken << dir.filePath(u"good.wav"_s) << dir.filePath(u"also-good.wav"_s);
    player.setFileName(list);
    QCOMPARE(track.opened.size(), 4);
    QCOMPARE(player.PlayState(), int(MusicPlayer::Stopped));
    player.Play();
    QCOMPARE(track.opened.size(), 8);
    QCOMPARE(player.PlayState(), int(MusicPlayer::Stopped));
    // A missing single file and an empty list do the same.
    player.setFileName(dir.filePath(u"none.m3u"_s));
    QCOMPARE(player.PlayState(), int(MusicPlayer::Stopped));
    QCOMPARE(player.EntryCount(), 0);
}

void tst_MusicPlayer::backAndForwardAtTheEnds()
{
    QTemporaryDir dir;
    FakeTrack track;
    MusicPlayer player(track);
    Options options;
    BgmControl bgm(player, options);
    player.setFileName(
        writeList(dir, QStringLiteral("l.m3u"), { u"a.wav"_s, u"b.wav"_s, u"c.wav"_s }));
    bgm.mnuBGM_Back_Click();
    QCOMPARE(player.GetCurrentEntry(), 1); // the first from its start
    QCOMPARE(track.opened.size(), 2);
    bgm.mnuBGM_Forward_Click();
    bgm.mnuBGM_Forward_Click();
    QCOMPARE(player.GetCurrentEntry(), 3);
    bgm.mnuBGM_Forward_Click();
    QCOMPARE(player.GetCurrentEntry(), 3); // nothing after the last
    QCOMPARE(track.opened.size(), 4);
    bgm.mnuBGM_Back_Click();
    QCOMPARE(player.GetCurrentEntry(), 2);

    // A single file has neither entries nor markers: back and forward do nothing.
    player.setFileName(dir.filePath(u"one.wav"_s));
    const int opened = int(track.opened.size());
    bgm.mnuBGM_Back_Click();
    bgm.mnuBGM_Forward_Click();
    QCOMPARE(track.opened.size(), opened);
    QVERIFY(!player.CanSeekToMarkers());
    QCOMPARE(player.MarkerCount(), 0);
}

void tst_MusicPlayer::startingEntryAndRemembering()
{
    QTemporaryDir dir;
    FakeTrack track;
    MusicPlayer player(track);
    Options options;
    BgmControl bgm(player, options);
    const QString list = writeList(dir, QStringLiteral("l.m3u"),
                                   { u"1.wav"_s, u"2.wav"_s, u"3.wav"_s, u"4.wav"_s, u"5.wav"_s });
    options.setText(Opt::txtBGM, list);
    options.setCheck(Opt::chkBGM_RememberLastEntry, 1);

    bgm.startMusic(0, list, 9); // beyond the list: from the first
    QCOMPARE(player.GetCurrentEntry(), 1);
    QCOMPARE(track.opened.size(), 1);
    bgm.startMusic(0, list, 1); // 1 is never applied
    QCOMPARE(track.opened.size(), 2);

    bgm.startMusic(0, list, 2);
    track.end();
    track.end();
    QCOMPARE(player.GetCurrentEntry(), 4);
    bgm.rememberBgmEntry();
    bgm.closeMusic();
    QCOMPARE(options.text(Opt::txtBGM_StartingEntry), QStringLiteral("4"));
    QCOMPARE(player.PlayState(), int(MusicPlayer::Stopped));
    QVERIFY(player.FileName().isEmpty());
    bgm.startMusic(0, list, options.text(Opt::txtBGM_StartingEntry).toInt());
    QCOMPARE(player.GetCurrentEntry(), 4);

    // Not remembered: when off, when another source plays, or after the music closed.
    bgm.closeMusic();
    bgm.rememberBgmEntry();
    QCOMPARE(options.text(Opt::txtBGM_StartingEntry), QStringLiteral("4"));
    bgm.testPlay(writeList(dir, QStringLiteral("other.m3u"), { u"x.wav"_s, u"y.wav"_s }));
    player.Next();
    bgm.rememberBgmEntry();
    QCOMPARE(options.text(Opt::txtBGM_StartingEntry), QStringLiteral("4"));
    bgm.startMusic(0, list, 3);
    options.setCheck(Opt::chkBGM_RememberLastEntry, 0);
    bgm.rememberBgmEntry();
    QCOMPARE(options.text(Opt::txtBGM_StartingEntry), QStringLiteral("4"));
}

void tst_MusicPlayer::commandsFollowThePlayState()
{
    QTemporaryDir dir;
    FakeTrack track;
    MusicPlayer player(track);
    Options options;
    BgmControl bgm(player, options);

    // Nothing open: every command does nothing.
    bgm.mnuBGM_Play_Click();
    bgm.mnuBGM_Stop_Click();
    bgm.pauseBgm();
    bgm.resumeBgm();
    QCOMPARE(player.PlayState(), int(MusicPlayer::Stopped));
    QVERIFY(track.opened.isEmpty());

    bgm.testPlay(dir.filePath(u"song.wav"_s));
    QCOMPARE(player.PlayState(), int(MusicPlayer::Playing));
    bgm.mnuBGM_Play_Click();
    QCOMPARE(player.PlayState(), int(MusicPlayer::Paused));
    bgm.mnuBGM_Play_Click();
    QCOMPARE(player.PlayState(), int(MusicPlayer::Playing));
    bgm.mnuBGM_Stop_Click();
    QCOMPARE(player.PlayState(), int(MusicPlayer::Stopped));
    bgm.mnuBGM_Stop_Click(); // stop while stopped
    QCOMPARE(track.stops, 1);

    // The show's pause and resume: resuming plays also music the user stopped meanwhile.
    bgm.mnuBGM_Play_Click();
    bgm.pauseBgm();
    QCOMPARE(player.PlayState(), int(MusicPlayer::Paused));
    bgm.pauseBgm();
    QCOMPARE(track.pauses, 2);
    bgm.mnuBGM_Stop_Click();
    bgm.resumeBgm();
    QCOMPARE(player.PlayState(), int(MusicPlayer::Playing));
    const int plays = track.plays;
    bgm.resumeBgm(); // already playing
    QCOMPARE(track.plays, plays);
}

QTEST_GUILESS_MAIN(tst_MusicPlayer)
#include "tst_musicplayer.moc"
