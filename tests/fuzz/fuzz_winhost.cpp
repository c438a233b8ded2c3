// What a Windows plug-in's host answers: WindowsPluginHost starts fake_spihost as it starts the
// real host and reads the fuzzer's bytes as the hello, the answers and the shared file's
// contents (the layout is described in fake_spihost.cpp). The input's first byte picks four
// calls. Whatever comes, a call ends well within its time limit, a picture comes whole or not
// at all, and the give-up rule holds.
#include "FuzzSupport.h"

#include "viewer/picture/DibImage.h"
#include "viewer/plugins/windows/WindowsPluginHost.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <ctime>
#include <unistd.h>

using namespace Qt::StringLiterals;

// stop() gives a host that was asked to quit 10 ms steps to end. The fake host ends at once,
// so here the steps are short and the fuzzer runs hundreds of inputs a second.
extern "C" int usleep(useconds_t us)
{
    const timespec step { 0, long(std::min<useconds_t>(us, 100)) * 1000 };
    return nanosleep(&step, nullptr);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString script = FuzzSupport::scratchFolder() + u"/host-script"_s;
    QFile file(script);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    file.close();

    WindowsPluginHost::Limits limits;
    limits.startMs = limits.callMs = limits.dialogMs = 3000;
    limits.pictureBytes = qint64(64) << 20;
    WindowsPluginHost host({ QStringLiteral(LUNETTA_FAKE_SPIHOST), script }, limits);
    const int calls = size ? data[0] : 0;
    for (int k = 0; k < 4; ++k) {
        const bool givenUp = host.givenUp();
        const int starts = host.starts();
        QElapsedTimer clock;
        clock.start();
        switch ((calls >> (2 * k)) & 3) {
        case 0:
            host.isSupported(u"/pictures/a.kmo"_s, QByteArray("KMO"));
            break;
        case 1:
            host.configurationDlg(0);
            break;
        default: {
            PluginBlock info, bits;
            const int32_t result = host.getPicture(u"/pictures/b.kmo"_s, info, bits);
            FUZZ_CHECK((result == 0) == (info.data && bits.data));
            if (result == 0) {
                FUZZ_CHECK(info.size > 0 && bits.size > 0 && host.failures() == 0);
                DibImage::fromBlocks(info.data.get(), info.size, bits.data.get(), bits.size,
                                     limits.pictureBytes);
            }
            break;
        }
        }
        // The fake host never keeps the client waiting for bytes it will not send: a call
        // that runs into its time limit has read past an answer.
        FUZZ_CHECK(clock.elapsed() < limits.callMs, QString::number(k));
        FUZZ_CHECK(host.failures() <= limits.maxFailures);
        // A plug-in given up is never started again.
        if (givenUp)
            FUZZ_CHECK(host.givenUp() && host.starts() == starts && !host.isRunning());
    }
    return 0;
}
