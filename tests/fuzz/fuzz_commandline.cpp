// The command-line argument rule: quotes, blanks and switches in any combination.
#include "FuzzSupport.h"

#include "core/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString raw = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList arguments = raw.split(u'\0');
    const QString text
        = CommandLine::rawText(QStringList { QStringLiteral("lunetta") } + arguments);
    const QString argument = CommandLine::argument(text);
    (void)CommandLine::isUninstallSwitch(text);
    FUZZ_CHECK(argument.size() <= text.size());
    // Only a quoted argument keeps blanks at its ends; tabs and line breaks are its own.
    if (!argument.isEmpty() && !text.contains(u'"'))
        FUZZ_CHECK(!argument.startsWith(u' ') && !argument.endsWith(u' '), argument);
    return 0;
}
