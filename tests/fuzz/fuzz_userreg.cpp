// Wine's user registry (user.reg in the prefix): any bytes, searched for the folder an installed
// Susie keeps its plug-ins in, and that folder looked up through the prefix's drives, where
// drive Z: is the scratch folder itself.
#include "FuzzSupport.h"

#include "viewer/plugins/windows/WinePrefix.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString prefix = [] {
        const QString folder = FuzzSupport::scratchFolder();
        QDir(folder).mkpath(u"dosdevices"_s);
        QDir(folder).mkpath(u"Plugins/Sub"_s);
        QFile::link(folder, folder + u"/dosdevices/z:"_s);
        return folder;
    }();
    QFile file(prefix + u"/user.reg"_s);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    file.close();

    const QString path = WinePrefix::susiePluginPath(prefix);
    // The value sits on the key's line: never more than one line's worth of the file.
    FUZZ_CHECK(path.size() <= qsizetype(size), path);
    if (path.isEmpty())
        return 0;
    const QString folder = WinePrefix::toUnixPath(prefix, path);
    // A folder that exists, under the prefix's drive, named as a folder.
    if (!folder.isEmpty())
        FUZZ_CHECK(folder.endsWith(u'/') && QDir(folder).exists(), folder);
    return 0;
}
