#pragma once

#include <QString>

// What a plug-in file is built for, read from its first bytes: Lunetta's own plug-ins are
// ELF shared objects of this machine; Windows plug-ins are PE DLLs, 32-bit ("*.spi") or
// 64-bit ("*.sph"), which run in a host process under Wine.
class PluginFileKind
{
public:
    enum Kind { Unknown, Native, Windows32, Windows64 };
    static Kind of(const QString &path);
    static Kind ofHead(const QByteArray &head);
};
