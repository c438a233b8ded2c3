#pragma once

#include <QList>
#include <QString>

#include <optional>

class PlayList;

// What the page jump dialog computes: the position a jump text names, and the files whose
// paths contain a search text.
namespace JumpSearch {

// The position for a jump text, or nothing when the text is not a whole number. A leading
// "+" or "-" counts from `currentPosition`. Spaces around the number are allowed; numbers too
// large for a position are held at a bound far outside any list, which the display step then
// treats as any other position outside the list.
std::optional<int> jumpTarget(const QString &text, int currentPosition);

// The text with letter case and full/half-width forms folded alike (NFKC with case folding),
// so that folded texts can be compared character by character.
QString foldText(const QString &text);

// Positions (from 1) of the files whose path contains `text`: compared character by
// character when `exact`, folded otherwise. Each path is folded once.
QList<int> findInPlayList(const PlayList &list, const QString &text, bool exact);

} // namespace JumpSearch
