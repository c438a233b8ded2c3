// Start-up: time from launching Lunetta with a picture file argument to that picture painted in
// the viewer, beside a minimal Qt program that decodes and shows the same file; for a 1080p JPEG
// and a 6000 × 4000 one. Needs an X display (scripts/bench runs it under Xvfb).
#include "BenchPictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

namespace {

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Milliseconds from the start of the program to its "first-picture" line; -1 when none came.
double launchMs(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardErrorFile(QProcess::nullDevice());
    const qint64 started = steadyNs();
    process.start(program, args);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        if (line.startsWith("first-picture "))
            return (line.mid(14).toLongLong() - started) / 1e6;
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("Start-up: skipped, no X display\n");
        return 0;
    }
    // A launch takes well under a second, and on a shared machine its time varies by a tenth
    // from one run to the next: more runs than the other benchmarks take.
    const int runs = std::max(1, qEnvironmentVariableIntValue("LUNETTA_BENCH_RUNS") ?: 15);
    QTemporaryDir dir;
    const QString hd = makeJpeg(dir.filePath(QStringLiteral("hd.jpg")), QSize(1920, 1080));
    const QString large = makeJpeg(dir.filePath(QStringLiteral("large.jpg")), QSize(6000, 4000));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LUNETTA_CONFIG_DIR"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("LUNETTA_MESSAGE_LOG"), dir.filePath(QStringLiteral("messages.log")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    env.insert(QStringLiteral("LUNETTA_BENCH_FIRST_PICTURE"), QStringLiteral("1"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));

    std::printf("Start-up to the first picture painted, under X (median of %d runs)\n", runs);
    // The first run makes the settings; the figures are those of a user's later starts.
    launchMs(QStringLiteral(LUNETTA_PROGRAM), { hd }, env);
    const struct
    {
        const char *name;
        QString path;
    } cases[] = { { "1920 x 1080 JPEG", hd }, { "6000 x 4000 JPEG", large } };
    for (const auto &c : cases) {
        std::vector<double> lunetta, reference;
        for (int i = 0; i < runs; ++i) {
            lunetta.push_back(launchMs(QStringLiteral(LUNETTA_PROGRAM), { c.path }, env));
            reference.push_back(launchMs(QStringLiteral(REFERENCE_PROGRAM), { c.path }, env));
        }
        const double l = median(lunetta);
        const double r = median(reference);
        std::printf("  %-20s Lunetta %7.1f ms   minimal Qt program %7.1f ms   ratio %.2f\n", c.name,
                    l, r, r > 0 ? l / r : 0.0);
    }
    return 0;
}
