#pragma once

#include <cstddef>
#include <memory>

// A block of memory a plug-in allocated with malloc(); freed with free().
struct PluginBlock
{
    struct Free
    {
        void operator()(void *p) const;
    };
    std::unique_ptr<void, Free> data;
    // What the allocator reports for the block; never less than what was asked for.
    size_t size = 0;
};

// Takes a block that a plug-in or the host's reader allocated with malloc().
PluginBlock adoptPluginBlock(void *p);
