// Figures for the image list: the folder walk against find(1), sorting a million paths, the
// memory of a million-entry runtime list, reading a million-line file list.
#include "core/Options.h"
#include "core/PlayList.h"
#include "core/RandomSource.h"
#include "imagelist/BuildProgress.h"
#include "imagelist/ListBuilder.h"
#include "imagelist/Sorting.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

class SilentProgress : public BuildProgress
{
public:
    void setPrepareStatus(const QString &) override { }
    void setPrepareStatus2(const QString &) override { }
    bool cancelRequested() const override { return false; }
    void processPendingEvents() override { }
    void refreshNow() override { }
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE) : 0;
}

// A path as a camera and a photo library name them.
QString photoPath(int i)
{
    return QStringLiteral("/home/user/Pictures/%1/event-%2/IMG_%3.JPG")
        .arg(2000 + i % 24)
        .arg(i / 1000 % 1000, 3, 10, QLatin1Char('0'))
        .arg(i, 7, 10, QLatin1Char('0'));
}

// Runs find(1) with its output thrown away and returns the seconds it took.
double timeFind(const QString &root)
{
    const QByteArray dir = QFile::encodeName(root);
    char *argv[] = { const_cast<char *>("find"),
                     const_cast<char *>(dir.constData()),
                     const_cast<char *>("-type"),
                     const_cast<char *>("f"),
                     const_cast<char *>("-iname"),
                     const_cast<char *>("*.jpg"),
                     nullptr };
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "find", &actions, nullptr, argv, environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return -1;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    posix_spawn_file_actions_destroy(&actions);
    return seconds;
}

// Walks the tree and collects its pictures as a folder entry with subfolders does.
double timeWalk(const QString &root, const Options &options, int *found)
{
    PlayList list;
    SystemRandom random;
    SilentProgress progress;
    ListBuilder builder(list, options, random, progress);
    QElapsedTimer timer;
    timer.start();
    builder.SearchSubFolders(root);
    builder.AddFiles2List(QStringLiteral("*.jpg"));
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    *found = list.count();
    return seconds;
}

void makeTree(const QString &root, int groups, int foldersPerGroup, int filesPerFolder)
{
    int n = 0;
    for (int g = 0; g < groups; ++g) {
        for (int f = 0; f < foldersPerGroup; ++f) {
            const QString folder = root
                + QStringLiteral("g%1/d%2/")
                      .arg(g, 2, 10, QLatin1Char('0'))
                      .arg(f, 3, 10, QLatin1Char('0'));
            QDir().mkpath(folder);
            for (int i = 0; i < filesPerFolder; ++i, ++n) {
                // A few capitals, as cameras write them.
                const QString name
                    = QStringLiteral("IMG_%1.%2")
                          .arg(n, 6, 10, QLatin1Char('0'))
                          .arg(n % 10 ? QStringLiteral("jpg") : QStringLiteral("JPG"));
                QFile file(folder + name);
                file.open(QIODevice::WriteOnly);
            }
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = qMax(1, qEnvironmentVariableIntValue("LUNETTA_BENCH_RUNS") ?: 5);
    const int million = 1000000;

    // Memory first, while the heap is fresh.
    {
        const qint64 before = residentBytes();
        PlayList list;
        qint64 textBytes = 0;
        for (int i = 0; i < million; ++i) {
            const QString path = photoPath(i);
            textBytes += path.size() * qint64(sizeof(QChar));
            list.appendToPlayList(path);
        }
        const qint64 grown = residentBytes() - before;
        std::printf("runtime list, 1,000,000 entries: %.1f MB resident, %.1f MB of it path text "
                    "(UTF-16), %.1f bytes per entry beyond the text (target < 100)\n",
                    grown / 1e6, textBytes / 1e6, double(grown - textBytes) / million);
    }

    QTemporaryDir temp;
    if (!temp.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    const QString root = temp.path() + QStringLiteral("/tree/");
    makeTree(root, 10, 100, 100);

    Options plain;
    plain.setOption(Opt::optNoSort, true);
    Options byNameAndDepth;
    byNameAndDepth.setOption(Opt::optSortByFileName, true);
    byNameAndDepth.setCheck(Opt::chkSortFolderDepth, 1);

    int found = 0;
    timeWalk(root, plain, &found); // warm the caches
    timeFind(root);
    std::vector<double> walk, find, walkSorted;
    for (int r = 0; r < runs; ++r) {
        walk.push_back(timeWalk(root, plain, &found));
        find.push_back(timeFind(root));
        int sortedFound = 0;
        walkSorted.push_back(timeWalk(root, byNameAndDepth, &sortedFound));
    }
    std::printf("walk + collect, 100,000 files in 1,000 folders (%d found): %.1f ms; "
                "find -type f -iname '*.jpg': %.1f ms; ratio %.2f (target <= 1.5)\n",
                found, median(walk) * 1e3, median(find) * 1e3, median(walk) / median(find));
    std::printf("walk + collect with name order by folder depth: %.1f ms\n",
                median(walkSorted) * 1e3);

    // A million-line file list, read as a file-list entry.
    const QString listPath = temp.path() + QStringLiteral("/million.lst");
    {
        QFile file(listPath);
        file.open(QIODevice::WriteOnly);
        QByteArray chunk;
        for (int i = 0; i < million; ++i) {
            chunk += photoPath(i).toUtf8() + "\r\n";
            if (chunk.size() > (1 << 20)) {
                file.write(chunk);
                chunk.clear();
            }
        }
        file.write(chunk);
    }
    std::vector<double> reads;
    PlayList list;
    for (int r = 0; r < runs; ++r) {
        list.clear();
        SystemRandom random;
        SilentProgress progress;
        ListBuilder builder(list, plain, random, progress);
        QElapsedTimer timer;
        timer.start();
        builder.ReadFileList(listPath);
        reads.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
    std::printf("reading a 1,000,000-line file list: %.0f ms (%d entries)\n", median(reads) * 1e3,
                list.count());

    // Sorting: the list in a random order each time.
    std::vector<QString> shuffled;
    for (int i = 1; i <= list.count(); ++i)
        shuffled.push_back(list.path(i));
    std::vector<double> sorts;
    std::mt19937 rng(12345);
    for (int r = 0; r < runs; ++r) {
        std::shuffle(shuffled.begin(), shuffled.end(), rng);
        PlayList toSort;
        toSort.reserve(int(shuffled.size()));
        for (const QString &p : shuffled)
            toSort.appendToPlayList(p);
        QElapsedTimer timer;
        timer.start();
        QuickSortFileList(toSort, 1, toSort.count(), -1);
        sorts.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
    std::printf("sorting 1,000,000 paths by name: %.0f ms (target < 2000)\n", median(sorts) * 1e3);
    return 0;
}
