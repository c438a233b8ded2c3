#pragma once

#include <QStringList>

#include <vector>

class PlayList;
class RandomSource;

// The orderings of the runtime list and of the folder walk. `order` is −1 for ascending and
// +1 for descending. Texts compare as TextCollator::japanese() does.

// Sorts array[lo … hi] (inclusive) in place.
void QuickSortStrings(QStringList &array, qsizetype lo, qsizetype hi, int order);
// Sorts positions lo … hi (inclusive, from 1) of the list by path; the entries stay where they
// are and their paths move.
void QuickSortFileList(PlayList &list, int lo, int hi, int order);
// The ascending order of `texts` as a stable sort gives it, equal texts keeping their order:
// for each new place, the index of the text that goes there.
std::vector<qsizetype> StableSortOrder(const QStringList &texts);
// Replaces the list by a uniformly random permutation of itself, reseeding `random` first.
void ShuffleFileList(PlayList &list, RandomSource &random);
