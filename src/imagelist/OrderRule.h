#pragma once

class Options;
class PlayList;
class RandomSource;

// Which ordering a build applies, read from the order options of the controller.
struct OrderRule
{
    bool byName = false; // optSortByFileName
    bool folderDepth = false; // chkSortFolderDepth
    bool random = false; // optSortRandom
    bool noRepeat = false; // chkSortRandom: shuffle once instead of picking at random
    int order = -1; // −1 ascending, +1 descending (chkSortDescending)

    static OrderRule fromOptions(const Options &options);

    // Name order that keeps shallower folders first sorts each folder's subfolders and files
    // while they are collected instead of the whole list at the end.
    bool sortsWhileCollecting() const { return byName && folderDepth; }
    // The ordering at the end of a build: the whole list by path, a shuffle, or nothing.
    void applyAtEnd(PlayList &list, RandomSource &randomSource) const;
};
