#include "viewer/plugins/PluginFileKind.h"

#include "core/UserFileReader.h"

#include <QtEndian>

namespace {

// The PE header may lie anywhere in the first kilobytes; real DLLs keep it near the start.
constexpr qsizetype headSize = 4096;

quint32 u32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

} // namespace

PluginFileKind::Kind PluginFileKind::ofHead(const QByteArray &head)
{
    if (head.startsWith("\x7f"
                        "ELF")
        && head.size() > 5) {
        // Only objects of this machine's word size load; another is as good as no plug-in.
        const int elfClass = head[4];
        return elfClass == (sizeof(void *) == 8 ? 2 : 1) ? Native : Unknown;
    }
    if (!head.startsWith("MZ") || head.size() < 0x40)
        return Unknown;
    const quint32 pe = u32(head, 0x3C);
    if (pe > quint32(head.size() - 6) || head.mid(pe, 4) != QByteArrayView("PE\0\0", 4))
        return Unknown;
    switch (qFromLittleEndian<quint16>(head.constData() + pe + 4)) {
    case 0x014C: // i386
        return Windows32;
    case 0x8664: // x86-64
        return Windows64;
    default:
        return Unknown;
    }
}

PluginFileKind::Kind PluginFileKind::of(const QString &path)
{
    const auto head = UserFileReader::readStart(path, headSize);
    return head ? ofHead(*head) : Unknown;
}
