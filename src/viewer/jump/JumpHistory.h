#pragma once

#include <QStringList>

class SettingsStore;

// The page jump dialog's texts, newest first, at most ten; kept in section "Jump". It is
// written back only when a jump or a search has changed it.
class JumpHistory
{
public:
    static constexpr int maxEntries = 10;

    // Reads "Words0", "Words1", … up to the first missing key.
    void load(const SettingsStore &store);
    // Writes the two check boxes and every entry, and only when the history changed.
    bool saveIfChanged(SettingsStore &store, bool jumpOptions, bool notClose) const;

    // Puts `text` on top; an older equal entry goes, and so does an eleventh one.
    void add(const QString &text);

    const QStringList &entries() const { return m_entries; }
    bool isChanged() const { return m_changed; }

private:
    QStringList m_entries;
    bool m_changed = false;
};
