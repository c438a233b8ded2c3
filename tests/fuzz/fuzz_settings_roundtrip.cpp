// What the settings store writes, it reads back exactly: sections, keys and values made of any
// characters (escapes, "=", brackets, line breaks, blanks at either end, non-ASCII).
#include "FuzzSupport.h"

#include "core/SettingsStore.h"

#include <QFile>

#include <fuzzer/FuzzedDataProvider.h>

namespace {
// Characters the file format has to protect come up far more often than at random.
QString fuzzedText(FuzzedDataProvider &in)
{
    static const char16_t special[] = { u'\\', u'=', u'[', u']',  u'\r', u'\n',  u'\t',
                                        u' ',  u';', u's', u'\0', u'漢', 0x3000, u'#' };
    QString text;
    const size_t length = in.ConsumeIntegralInRange<size_t>(0, 24);
    for (size_t i = 0; i < length && in.remaining_bytes(); ++i) {
        const uint8_t pick = in.ConsumeIntegral<uint8_t>();
        if (pick < 128)
            text += QChar(special[pick % std::size(special)]);
        else if (pick < 200)
            text += QChar(char16_t(in.ConsumeIntegralInRange<uint16_t>(1, 0xD7FF)));
        else
            text += QChar(char16_t(0x20 + pick % 0x5F));
    }
    return text;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QString folder = FuzzSupport::scratchFolder();
    QFile::remove(SettingsStore::filePathIn(folder));

    QList<std::tuple<QString, QString, QString>> written;
    {
        SettingsStore store(folder);
        SettingsStore::Batch batch(store);
        while (in.remaining_bytes() && written.size() < 16) {
            const QString section = fuzzedText(in);
            const QString key = fuzzedText(in);
            const QString value = fuzzedText(in);
            store.SaveSetting(section, key, value);
            written.append({ section, key, value });
        }
        FUZZ_CHECK(batch.commit());
    }

    const SettingsStore back(folder);
    FUZZ_CHECK(!back.wasDamaged());
    for (qsizetype i = written.size() - 1; i >= 0; --i) {
        const auto &[section, key, value] = written[i];
        // A later write of the same key wins.
        bool overwritten = false;
        for (qsizetype j = i + 1; j < written.size(); ++j)
            overwritten |= std::get<0>(written[j]) == section && std::get<1>(written[j]) == key;
        if (overwritten)
            continue;
        FUZZ_CHECK(back.hasSetting(section, key), section + u'/' + key);
        FUZZ_CHECK(back.GetSetting(section, key) == value, value);
    }
    return 0;
}
