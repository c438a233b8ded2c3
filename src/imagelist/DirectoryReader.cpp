#include "imagelist/DirectoryReader.h"

#include <QFile>

#include <cstring>

#include <fcntl.h>

DirectoryReader::DirectoryReader(const QString &folder)
{
    const QByteArray native = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    m_dir = ::opendir(native.constData());
}

DirectoryReader::~DirectoryReader()
{
    if (m_dir)
        ::closedir(m_dir);
}

bool DirectoryReader::next()
{
    if (!m_dir)
        return false;
    for (;;) {
        m_entry = ::readdir(m_dir);
        if (!m_entry)
            return false;
        const char *n = m_entry->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        // Most names are ASCII: fill the reused buffer without a decoder or an allocation.
        const size_t length = std::strlen(n);
        bool ascii = true;
        for (size_t i = 0; i < length && ascii; ++i)
            ascii = static_cast<unsigned char>(n[i]) < 0x80;
        if (ascii) {
            m_name.resize(qsizetype(length));
            QChar *out = m_name.data();
            for (size_t i = 0; i < length; ++i)
                out[i] = QLatin1Char(n[i]);
        } else {
            m_name = QFile::decodeName(QByteArray::fromRawData(n, qsizetype(length)));
        }
        return true;
    }
}

bool DirectoryReader::isFolder()
{
    switch (m_entry ? int(m_entry->d_type) : int(DT_UNKNOWN)) {
    case DT_DIR:
        return true;
    case DT_LNK:
    case DT_UNKNOWN: {
        struct stat st;
        return status(st) && S_ISDIR(st.st_mode);
    }
    default:
        return false;
    }
}

bool DirectoryReader::status(struct stat &st) const
{
    return m_dir && m_entry && ::fstatat(::dirfd(m_dir), m_entry->d_name, &st, 0) == 0;
}

bool VisitedFolders::insertPath(const QString &folder)
{
    struct stat st;
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0)
        return true; // cannot be identified; listing it will fail anyway
    return insert(st);
}
