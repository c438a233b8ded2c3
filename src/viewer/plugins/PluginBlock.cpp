#include "viewer/plugins/PluginBlock.h"

#include <malloc.h>

#include <cstdlib>

void PluginBlock::Free::operator()(void *p) const
{
    std::free(p);
}

PluginBlock adoptPluginBlock(void *p)
{
    PluginBlock block;
    block.data.reset(p);
    block.size = p ? malloc_usable_size(p) : 0;
    return block;
}
