#include "Sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

Sandbox::Sandbox() = default;

QString Sandbox::root() const
{
    return m_dir.path() + u'/';
}

QString Sandbox::file(const QString &relative, const QByteArray &content)
{
    const QString full = path(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
    return full;
}

QString Sandbox::folder(const QString &relative)
{
    const QString full = path(relative);
    QDir().mkpath(full);
    return full.endsWith(u'/') ? full : full + u'/';
}

void Sandbox::setModified(const QString &relative, const QDateTime &time)
{
    QFile f(path(relative));
    if (f.open(QIODevice::ReadWrite))
        f.setFileTime(time, QFileDevice::FileModificationTime);
}
