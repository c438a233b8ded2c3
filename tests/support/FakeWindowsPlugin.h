#pragma once

#include <QByteArray>
#include <QString>

// What makes a file a Windows plug-in to Lunetta, and how a stand-in for its host greets.
namespace FakeWindowsPlugin {

// The head of a Windows DLL for `machine` (0x14C i386, 0x8664 x86-64): enough for Lunetta to
// take the file for a Windows plug-in.
inline QByteArray head(quint16 machine = 0x14C)
{
    QByteArray head(0x100, '\0');
    head[0] = 'M';
    head[1] = 'Z';
    head[0x3C] = char(0x80);
    head.replace(0x80, 4, QByteArray("PE\0\0", 4));
    head[0x84] = char(machine & 0xFF);
    head[0x85] = char(machine >> 8);
    return head;
}

// A host's greeting for a plug-in with the info texts "00IN" and "x", as printf writes it.
inline QString greeting()
{
    return QStringLiteral(R"(\035\0\0\0LSH1\0\0\0\0\0\0\0\0\002\0\0\0\004\0\0\00000IN\001\0\0\0x)");
}

} // namespace FakeWindowsPlugin
