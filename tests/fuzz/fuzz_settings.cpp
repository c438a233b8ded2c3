// The settings file as it may be found on disk: damaged, cut short, not UTF-8, edited by hand.
#include "FuzzSupport.h"

#include "core/SettingsStore.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // One store for every input: its folder holds no file, so nothing is ever written.
    static SettingsStore store(FuzzSupport::scratchFolder() + QStringLiteral("/unused"));
    store.reloadFrom(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (const QString &section : store.sections()) {
        const SettingsStore::Pairs pairs = store.GetAllSettings(section);
        for (const auto &[key, value] : pairs) {
            // Whatever was read must be found again by its key, and be writable as it is.
            FUZZ_CHECK(store.hasSetting(section, key), key);
            FUZZ_CHECK(SettingsStore::unescape(SettingsStore::escape(value)) == value, value);
        }
    }
    return 0;
}
