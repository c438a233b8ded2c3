#include "core/CommandLine.h"

namespace CommandLine {

QString rawText(const QStringList &arguments)
{
    return arguments.mid(1).join(u' ');
}

bool isUninstallSwitch(const QString &raw)
{
    return raw.toLower() == u"/uninstall";
}

QString argument(const QString &raw)
{
    // Only blanks are trimmed, not tabs or line breaks.
    qsizetype first = 0;
    qsizetype last = raw.size();
    while (first < last && raw[first] == u' ')
        ++first;
    while (last > first && raw[last - 1] == u' ')
        --last;
    const QString text = raw.mid(first, last - first);
    if (text.startsWith(u'"')) {
        const qsizetype closing = text.indexOf(u'"', 1);
        if (closing > 0)
            return text.mid(1, closing - 1);
    }
    return text;
}

} // namespace CommandLine
