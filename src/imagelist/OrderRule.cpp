#include "imagelist/OrderRule.h"

#include "core/Options.h"
#include "core/PlayList.h"
#include "imagelist/Sorting.h"

OrderRule OrderRule::fromOptions(const Options &options)
{
    OrderRule rule;
    rule.byName = options.option(Opt::optSortByFileName);
    rule.folderDepth = options.isChecked(Opt::chkSortFolderDepth);
    rule.random = options.option(Opt::optSortRandom);
    rule.noRepeat = options.isChecked(Opt::chkSortRandom);
    rule.order = options.isChecked(Opt::chkSortDescending) ? 1 : -1;
    return rule;
}

void OrderRule::applyAtEnd(PlayList &list, RandomSource &randomSource) const
{
    if (byName && !folderDepth)
        QuickSortFileList(list, 1, list.count(), order);
    else if (random && noRepeat)
        ShuffleFileList(list, randomSource);
}
