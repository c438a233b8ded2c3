#pragma once

#include <QDateTime>
#include <QTemporaryDir>

// The whole content of a file; empty when it cannot be read.
QByteArray readFile(const QString &path);

// A temporary folder that tests fill with files and subfolders.
class Sandbox
{
public:
    Sandbox();
    bool isValid() const { return m_dir.isValid(); }
    // The folder's path, ending in "/".
    QString root() const;
    QString path(const QString &relative) const { return root() + relative; }
    // Creates a file (and its folders) with the given content; returns its full path.
    QString file(const QString &relative, const QByteArray &content = QByteArray("x"));
    QString folder(const QString &relative);
    void setModified(const QString &relative, const QDateTime &time);

private:
    QTemporaryDir m_dir;
};
