// Figures for the file-list editor with a 100,000-line list: opening it into the window, sorting
// it and saving it, each through the window's own commands and with the list view painted.
// References measured in the same run: reading the file's bytes, a plain std::sort by code
// units, and writing the same bytes with QFile.
#include "core/FileDialogService.h"
#include "core/LoggingMessageService.h"
#include "core/SettingsStore.h"
#include "core/TextFileCodec.h"
#include "imagelist/FileListFile.h"
#include "imagelist/FileListModel.h"
#include "imagelist/frmFileList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int lineCount = 100000;

// Answers every open dialog with one list and every save dialog with one file.
class FixedFileDialogs : public FileDialogService
{
public:
    QString openPath;
    QString savePath;
    FileDialogAnswer ask(const FileDialogRequest &request) override
    {
        return { { request.kind == FileDialogKind::SaveFile ? savePath : openPath }, {} };
    }
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double seconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    // What the user waits for includes the list view's update.
    QCoreApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e9;
}

// Paths as a photo library names them, in random order.
QStringList photoPaths(bool japanese)
{
    QStringList paths;
    paths.reserve(lineCount);
    for (int i = 0; i < lineCount; ++i) {
        paths.append((japanese ? QStringLiteral("/home/user/写真/%1年/ｲﾍﾞﾝﾄ-%2/画像_%3.JPG")
                               : QStringLiteral("/home/user/Pictures/%1/event-%2/IMG_%3.JPG"))
                         .arg(2000 + i % 24)
                         .arg(i / 1000 % 1000, 3, 10, QLatin1Char('0'))
                         .arg(i, 7, 10, QLatin1Char('0')));
    }
    std::shuffle(paths.begin(), paths.end(), *QRandomGenerator::global());
    return paths;
}

QByteArray crlfBytes(const QStringList &paths, bool cp932)
{
    const QString text = paths.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    if (!cp932)
        return text.toUtf8();
    QStringEncoder encoder("CP932");
    return encoder(text);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = std::max(1, qEnvironmentVariableIntValue("LUNETTA_BENCH_RUNS") ?: 5);

    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("config")));
    LoggingMessageService messages(dir.filePath(QStringLiteral("messages.log")));
    FixedFileDialogs fileDialogs;
    const QString utf8List = dir.filePath(QStringLiteral("utf8.txt"));
    const QString cp932List = dir.filePath(QStringLiteral("cp932.txt"));
    const QString saved = dir.filePath(QStringLiteral("saved.txt"));
    fileDialogs.savePath = saved;
    {
        QFile f(utf8List);
        if (!f.open(QIODevice::WriteOnly) || f.write(crlfBytes(photoPaths(false), false)) < 0)
            return 1;
        QFile g(cp932List);
        if (!g.open(QIODevice::WriteOnly) || g.write(crlfBytes(photoPaths(true), true)) < 0)
            return 1;
    }

    std::printf("File-list editor, %d lines (median of %d runs, %s platform)\n", lineCount, runs,
                qPrintable(QGuiApplication::platformName()));
    std::vector<double> openUtf8, openCp932, sort, save, rawRead, plainSort, rawWrite;
    for (int run = 0; run < runs; ++run) {
        for (const QString &list : { utf8List, cp932List }) {
            fileDialogs.openPath = list;
            auto *editor = new frmFileList(store, messages, fileDialogs);
            editor->show();
            QCoreApplication::processEvents();
            const double opened = seconds([&] { editor->mnuFile_Open_Click(); });
            if (editor->model().rowCount() != lineCount)
                return 2;
            (list == utf8List ? openUtf8 : openCp932).push_back(opened);
            if (list == utf8List) {
                // A few lines selected, as a user would have them.
                QList<bool> selected(lineCount);
                for (int i = 0; i < lineCount; i += 997)
                    selected[i] = true;
                editor->selectLines(selected);
                sort.push_back(seconds([&] { editor->mnuEdit_Sort_Click(); }));
                save.push_back(seconds([&] { editor->mnuFileSaveas_Click(); }));
            }
            editor->close();
            QCoreApplication::processEvents();
        }

        QByteArray bytes;
        rawRead.push_back(seconds([&] {
            QFile f(utf8List);
            if (f.open(QIODevice::ReadOnly))
                bytes = f.readAll();
        }));
        QStringList lines = TextFileCodec::splitLines(QString::fromUtf8(bytes));
        plainSort.push_back(seconds([&] { std::sort(lines.begin(), lines.end()); }));
        rawWrite.push_back(seconds([&] {
            QFile f(dir.filePath(QStringLiteral("raw.txt")));
            if (f.open(QIODevice::WriteOnly))
                f.write(bytes);
        }));
    }
    // The list saved holds every line; its encoding is the program's choice.
    if (FileListFile::read(saved).lines.size() != lineCount)
        return 3;

    auto report = [](const char *what, double s, const char *reference, double r) {
        std::printf("  %-28s %7.3f s   (%s: %.3f s, ratio %.1f)\n", what, s, reference, r,
                    r > 0 ? s / r : 0.0);
    };
    report("open (UTF-8)", median(openUtf8), "read the bytes", median(rawRead));
    report("open (CP932)", median(openCp932), "read the bytes", median(rawRead));
    report("sort (stable, collated)", median(sort), "std::sort by code unit", median(plainSort));
    report("save (atomic, CR LF)", median(save), "QFile write of the bytes", median(rawWrite));
    std::printf("  goal: each of open, sort and save <= 0.5 s\n");
    return 0;
}
