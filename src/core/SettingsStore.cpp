#include "core/SettingsStore.h"

#include "core/AtomicFile.h"
#include "core/BackslashEscapes.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringDecoder>

namespace {
const QString fileName = QStringLiteral("Lunetta.ini");
}

struct SettingsStore::Section
{
    QString name;
    Pairs entries;
    QHash<QString, qsizetype> index;

    void rebuildIndex()
    {
        index.clear();
        for (qsizetype i = 0; i < entries.size(); ++i)
            index.insert(entries[i].first, i);
    }
};

SettingsStore::SettingsStore(const QString &folder)
    : m_folder(folder)
{
    reload();
}

SettingsStore::~SettingsStore()
{
    if (m_dirty)
        flush();
}

QString SettingsStore::filePathIn(const QString &folder)
{
    return QDir(folder).filePath(fileName);
}

void SettingsStore::reload()
{
    m_sections.clear();
    m_dirty = false;
    m_damaged = false;
    QFile file(filePath());
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        m_damaged = true;
        return;
    }
    parse(file.readAll());
}

void SettingsStore::reloadFrom(const QByteArray &bytes)
{
    m_sections.clear();
    m_dirty = false;
    m_damaged = false;
    parse(bytes);
}

void SettingsStore::parse(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        m_damaged = true;

    Section *current = nullptr;
    // Sections by name while reading: a file of thousands of sections is read in linear time.
    QHash<QString, Section *> byName;
    for (const auto &s : m_sections)
        byName.insert(s->name, s.get());
    const auto lines = QStringView(text).split(u'\n');
    for (QStringView line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']') && line.size() >= 2) {
            const QString name = unescape(line.mid(1, line.size() - 2).toString());
            current = byName.value(name, nullptr);
            if (!current) {
                m_sections.push_back(std::make_unique<Section>());
                current = m_sections.back().get();
                current->name = name;
                byName.insert(name, current);
            }
            continue;
        }
        // The separator is the first "=" that is not escaped.
        qsizetype eq = -1;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line[i] == u'\\')
                ++i;
            else if (line[i] == u'=') {
                eq = i;
                break;
            }
        }
        if (eq < 0 || !current) {
            m_damaged = true;
            continue;
        }
        const QString key = unescape(line.left(eq).toString());
        const QString value = unescape(line.mid(eq + 1).toString());
        const auto found = current->index.constFind(key);
        if (found != current->index.constEnd()) {
            current->entries[*found].second = value;
        } else {
            current->index.insert(key, current->entries.size());
            current->entries.append({ key, value });
        }
    }
}

SettingsStore::Section *SettingsStore::findSection(const QString &name) const
{
    for (const auto &s : m_sections) {
        if (s->name == name)
            return s.get();
    }
    return nullptr;
}

QString SettingsStore::GetSetting(const QString &section, const QString &key,
                                  const QString &defaultValue) const
{
    const Section *s = findSection(section);
    if (!s)
        return defaultValue;
    const auto found = s->index.constFind(key);
    return found == s->index.constEnd() ? defaultValue : s->entries[*found].second;
}

bool SettingsStore::hasSetting(const QString &section, const QString &key) const
{
    const Section *s = findSection(section);
    return s && s->index.contains(key);
}

bool SettingsStore::SaveSetting(const QString &section, const QString &key, const QString &value)
{
    Section *s = findSection(section);
    if (!s) {
        m_sections.push_back(std::make_unique<Section>());
        s = m_sections.back().get();
        s->name = section;
    }
    const auto found = s->index.constFind(key);
    if (found != s->index.constEnd()) {
        if (s->entries[*found].second == value)
            return true;
        s->entries[*found].second = value;
    } else {
        s->index.insert(key, s->entries.size());
        s->entries.append({ key, value });
    }
    return changed();
}

bool SettingsStore::DeleteSetting(const QString &section)
{
    for (auto it = m_sections.begin(); it != m_sections.end(); ++it) {
        if ((*it)->name == section) {
            m_sections.erase(it);
            return changed();
        }
    }
    return true;
}

bool SettingsStore::DeleteSetting(const QString &section, const QString &key)
{
    Section *s = findSection(section);
    if (!s)
        return true;
    const auto found = s->index.constFind(key);
    if (found == s->index.constEnd())
        return true;
    s->entries.removeAt(*found);
    s->rebuildIndex();
    return changed();
}

SettingsStore::Pairs SettingsStore::GetAllSettings(const QString &section) const
{
    const Section *s = findSection(section);
    return s ? s->entries : Pairs();
}

QStringList SettingsStore::sections() const
{
    QStringList names;
    for (const auto &s : m_sections)
        names.append(s->name);
    return names;
}

bool SettingsStore::changed()
{
    m_dirty = true;
    return m_batchDepth > 0 ? true : flush();
}

bool SettingsStore::flush()
{
    if (!QDir().mkpath(m_folder))
        return false;
    const QString path = filePath();
    if (m_damaged && QFile::exists(path)) {
        // Keep what could not be read: the user may want it back.
        const QString aside = path + QStringLiteral(".damaged-")
            + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        if (!QFile::exists(aside) && !QFile::copy(path, aside))
            return false;
    }
    QString text;
    for (const auto &s : m_sections) {
        text += u'[' + escape(s->name) + QStringLiteral("]\n");
        for (const auto &[key, value] : s->entries)
            text += escape(key) + u'=' + escape(value) + u'\n';
        text += u'\n';
    }
    if (!AtomicFile::write(path, text.toUtf8()).ok)
        return false;
    m_dirty = false;
    m_damaged = false;
    return true;
}

QString SettingsStore::escape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    // Leading and trailing blanks would be lost by anyone who edits the file by hand.
    qsizetype first = 0;
    while (first < text.size() && (text[first] == u' ' || text[first] == u'\t'))
        ++first;
    qsizetype last = text.size();
    while (last > first && (text[last - 1] == u' ' || text[last - 1] == u'\t'))
        --last;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool edge = i < first || i >= last;
        switch (c.unicode()) {
        case u'=':
        case u'[':
        case u']':
            out += u'\\';
            out += c;
            break;
        case u' ':
            out += edge ? QStringView(u"\\s") : QStringView(u" ");
            break;
        default:
            if (const QStringView escape = BackslashEscapes::lineEscape(c); !escape.isNull())
                out += escape;
            else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += QStringLiteral("\\x")
                    + QString::number(c.unicode(), 16).rightJustified(2, u'0');
            else
                out += c;
        }
    }
    return out;
}

QString SettingsStore::unescape(const QString &text)
{
    return BackslashEscapes::unescape(text, [&text](QChar letter, qsizetype &at, QString &out) {
        if (const QChar c = BackslashEscapes::lineUnescape(letter); !c.isNull()) {
            out += c;
            return true;
        }
        switch (letter.unicode()) {
        case u's':
            out += u' ';
            break;
        case u'x': {
            bool ok = false;
            const int code = text.mid(at + 1, 2).toInt(&ok, 16);
            if (ok && at + 2 < text.size()) {
                out += QChar(code);
                at += 2;
            } else {
                out += letter;
            }
            break;
        }
        default:
            out += letter; // "\=", "\[", "\]"
        }
        return true;
    });
}

SettingsStore::Batch::Batch(SettingsStore &store)
    : m_store(store)
{
    ++m_store.m_batchDepth;
}

SettingsStore::Batch::~Batch()
{
    commit();
}

bool SettingsStore::Batch::commit()
{
    if (m_done)
        return true;
    m_done = true;
    if (--m_store.m_batchDepth == 0 && m_store.m_dirty)
        return m_store.flush();
    return true;
}
