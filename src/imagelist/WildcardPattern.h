#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <string>

// One file-name pattern of a mask: "*" stands for any run of characters (none included), "?"
// for exactly one; everything else matches itself without regard to letter case. The pattern
// is used verbatim: blanks count, and an empty pattern matches nothing. A pattern ending in
// ".*" also takes names without a dot, so that "*.*" means every file.
class WildcardPattern
{
public:
    explicit WildcardPattern(QStringView pattern);

    bool matches(QStringView name) const;

    // The patterns of a mask such as "*.jpg;*.gif", split at every ";" and kept as written.
    static QList<WildcardPattern> splitMask(const QString &mask);

private:
    static bool matchesFolded(const std::u16string &pattern, QStringView name);

    std::u16string m_folded;
};
