#pragma once

#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

struct UCollator;

// Compares texts the way the user reads them in Japanese: letter case and full/half-width
// forms are ignored, digits are compared one by one (so "10.jpg" sorts before "2.jpg").
class TextCollator
{
public:
    TextCollator();
    ~TextCollator();
    TextCollator(const TextCollator &) = delete;
    TextCollator &operator=(const TextCollator &) = delete;

    // The collator every sort of the program uses; it is never changed after creation.
    static const TextCollator &japanese();

    // A collator of its own for another thread; null when it cannot be made.
    std::unique_ptr<TextCollator> clone() const;

    // −1, 0 or +1.
    int compare(QStringView a, QStringView b) const;

    // Appends the sort key of `text` (terminated by a 0 byte) to `arena` and returns where it
    // starts. Comparing two keys bytewise (strcmp) gives the same order as compare().
    size_t appendSortKey(QStringView text, std::vector<char> &arena) const;

private:
    explicit TextCollator(UCollator *collator)
        : m_collator(collator)
    { }

    UCollator *m_collator = nullptr;
};
