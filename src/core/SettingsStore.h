#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <memory>

// The per-user settings store: section → key → string, every section and key kept in
// insertion order. Lives in one UTF-8 INI-style text file; every change is written at once,
// atomically, unless a Batch is open, in which case the file is written when the outermost
// Batch closes.
//
// A file that cannot be read completely still yields what it can; the damaged original is
// copied aside (Lunetta.ini.damaged-<time>) before it is first overwritten.
class SettingsStore
{
public:
    using Pairs = QList<QPair<QString, QString>>;

    // Opens the store in `folder` (created on the first write).
    explicit SettingsStore(const QString &folder);
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    QString GetSetting(const QString &section, const QString &key,
                       const QString &defaultValue = QString()) const;
    bool hasSetting(const QString &section, const QString &key) const;
    // The write functions return false when the file could not be written; the value is kept
    // in memory all the same and written with the next successful write.
    bool SaveSetting(const QString &section, const QString &key, const QString &value);
    bool DeleteSetting(const QString &section);
    bool DeleteSetting(const QString &section, const QString &key);
    Pairs GetAllSettings(const QString &section) const;
    QStringList sections() const;

    QString folder() const { return m_folder; }
    QString filePath() const { return filePathIn(m_folder); }
    static QString filePathIn(const QString &folder);
    bool wasDamaged() const { return m_damaged; }
    // Reads the file again, forgetting unsaved changes.
    void reload();
    // The same with the file's bytes given, so that tests need no file.
    void reloadFrom(const QByteArray &bytes);

    // Groups many writes into one file write.
    class Batch
    {
    public:
        explicit Batch(SettingsStore &store);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;
        // Ends the batch now; false when the outermost batch could not write the file.
        bool commit();

    private:
        SettingsStore &m_store;
        bool m_done = false;
    };

    // The text file format, exposed for tests.
    static QString escape(const QString &text);
    static QString unescape(const QString &text);

private:
    struct Section;
    Section *findSection(const QString &name) const;
    bool changed();
    bool flush();
    void parse(const QByteArray &bytes);

    QString m_folder;
    std::vector<std::unique_ptr<Section>> m_sections;
    int m_batchDepth = 0;
    bool m_dirty = false;
    bool m_damaged = false;
};
