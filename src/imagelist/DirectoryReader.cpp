#include "imagelist/DirectoryReader.h"

#include <QFile>

#include <algorithm>
#include <cstring>

#include <fcntl.h>

namespace {

inline char16_t upper(char16_t c)
{
    if (c < 0x80)
        return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c;
    return QChar::toUpper(c);
}

} // namespace

bool DirectoryReader::listsBefore(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t *pa = a.utf16();
    const char16_t *pb = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        if (pa[i] == pb[i])
            continue;
        const char16_t ua = upper(pa[i]);
        const char16_t ub = upper(pb[i]);
        if (ua != ub)
            return ua < ub;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    // Names that differ in letter case only: a fixed order all the same.
    return a < b;
}

DirectoryReader::DirectoryReader(const QString &folder)
{
    const QByteArray native = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    m_dir = ::opendir(native.constData());
    if (!m_dir)
        return;
    while (dirent *e = ::readdir(m_dir)) {
        const char *n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        const size_t length = std::strlen(n);
        Entry entry { m_names.size(), 0, m_natives.size(), e->d_type };
        m_natives.append(n, length + 1);
        // Most names are ASCII: no decoder needed.
        bool ascii = true;
        for (size_t i = 0; i < length && ascii; ++i)
            ascii = static_cast<unsigned char>(n[i]) < 0x80;
        if (ascii) {
            m_names.append(QLatin1StringView(n, qsizetype(length)));
        } else {
            const QByteArray raw = QByteArray::fromRawData(n, qsizetype(length));
            const QString decoded = QFile::decodeName(raw);
            if (QFile::encodeName(decoded) != raw) {
                m_natives.resize(entry.native);
                continue;
            }
            m_names.append(decoded);
        }
        entry.nameLength = m_names.size() - entry.name;
        const QStringView name = nameOf(entry);
        // A shorter name leaves zeros, which come before any letter, as in listsBefore.
        for (qsizetype i = 0; i < std::min<qsizetype>(name.size(), 8); ++i)
            entry.head[i / 4] |= quint64(upper(name[i].unicode())) << (48 - 16 * (i % 4));
        m_entries.push_back(entry);
    }
    std::sort(m_entries.begin(), m_entries.end(), [this](const Entry &a, const Entry &b) {
        if (a.head[0] != b.head[0])
            return a.head[0] < b.head[0];
        if (a.head[1] != b.head[1])
            return a.head[1] < b.head[1];
        return listsBefore(nameOf(a), nameOf(b));
    });
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
    if (m_started && m_pos < m_entries.size())
        ++m_pos;
    m_started = true;
    return m_pos < m_entries.size();
}

unsigned char DirectoryReader::type()
{
    if (!m_started || m_pos >= m_entries.size())
        return DT_UNKNOWN;
    Entry &e = m_entries[m_pos];
    if (!e.resolved && (e.type == DT_LNK || e.type == DT_UNKNOWN)) {
        // Resolved once: a scan asks for the type more than once.
        struct stat st;
        if (!status(st))
            e.type = DT_UNKNOWN;
        else if (S_ISDIR(st.st_mode))
            e.type = DT_DIR;
        else if (S_ISREG(st.st_mode))
            e.type = DT_REG;
        else
            e.type = DT_FIFO; // pipes, sockets and devices alike
        e.resolved = true;
    }
    return e.type;
}

bool DirectoryReader::status(struct stat &st) const
{
    return m_dir && m_started && m_pos < m_entries.size()
        && ::fstatat(::dirfd(m_dir), m_natives.c_str() + current().native, &st, 0) == 0;
}

bool VisitedFolders::insertPath(const QString &folder)
{
    struct stat st;
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0)
        return true; // cannot be identified; listing it will fail anyway
    return insert(st);
}
