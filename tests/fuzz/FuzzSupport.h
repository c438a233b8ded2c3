#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

// What every fuzz target shares: a scratch folder of its own (in memory where /dev/shm exists,
// so that file readers run fast) and a check that aborts, so the fuzzer keeps the input.
namespace FuzzSupport {

inline QString scratchFolder()
{
    static const QString folder = [] {
        const char *base = QDir(QStringLiteral("/dev/shm")).exists() ? "/dev/shm" : "/tmp";
        const QString path = QString::fromUtf8(base) + QStringLiteral("/lunetta-fuzz-")
            + QString::number(getpid());
        QDir().mkpath(path);
        // Removed at exit so that long runs leave nothing behind.
        static struct Cleanup
        {
            QString path;
            ~Cleanup() { QDir(path).removeRecursively(); }
        } cleanup { path };
        return path;
    }();
    return folder;
}

[[noreturn]] inline void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "fuzz check failed: %s %s\n", what, detail.toUtf8().constData());
    std::abort();
}

} // namespace FuzzSupport

#define FUZZ_CHECK(cond, ...)                                                                      \
    do {                                                                                           \
        if (!(cond))                                                                               \
            FuzzSupport::fail(#cond __VA_OPT__(, ) __VA_ARGS__);                                   \
    } while (false)
