// What the shipped plug-ins built on large codec libraries share: their decoder lives in a
// second module, loaded with its libraries on the first picture, and whether a file is theirs
// is told from its head alone. Loading libheif, libavif or libjxl with everything they link
// takes longer than starting the whole program, and a show without such files never needs them.
#pragma once

#include "lunetta_plugin.h"

#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>

namespace spi {

namespace detail {
// Something of this module's own to ask the dynamic loader where the module was loaded from.
inline void moduleAnchor() { }
} // namespace detail

// The decoder half of a plug-in: "codecs/<name>.so" in the plug-in's folder, exporting
// GetPicture with the plug-in interface's signature. Loaded once, on the first call, by
// whichever thread makes it, and never unloaded.
class CodecModule
{
public:
    explicit CodecModule(const char *name)
        : m_name(name)
    { }
    CodecModule(const CodecModule &) = delete;
    CodecModule &operator=(const CodecModule &) = delete;

    int getPicture(const char *buf, long len, unsigned int flag, void **pHBInfo, void **pHBm,
                   LunettaProgressCallback progress, intptr_t data)
    {
        std::call_once(m_loaded, [this] { load(); });
        if (!m_getPicture) {
            if (pHBInfo)
                *pHBInfo = nullptr;
            if (pHBm)
                *pHBm = nullptr;
            return LUNETTA_SPI_INTERNAL_ERROR;
        }
        return m_getPicture(buf, len, flag, pHBInfo, pHBm, progress, data);
    }

    // The decoder's optional animation functions; without them there are no frames to open.
    void *openAnimation(const char *filename)
    {
        std::call_once(m_loaded, [this] { load(); });
        return m_openAnimation && m_animationFrame && m_closeAnimation ? m_openAnimation(filename)
                                                                       : nullptr;
    }
    // Only for what openAnimation opened, so the decoder is loaded and has them.
    int animationFrame(void *animation, void **pHBInfo, void **pHBm, int *delayMs)
    {
        return m_animationFrame(animation, pHBInfo, pHBm, delayMs);
    }
    void closeAnimation(void *animation) { m_closeAnimation(animation); }

private:
    using GetPictureFunction = int (*)(const char *, long, unsigned int, void **, void **,
                                       LunettaProgressCallback, intptr_t);

    void load()
    {
        Dl_info self {};
        if (!dladdr(reinterpret_cast<const void *>(&detail::moduleAnchor), &self)
            || !self.dli_fname)
            return;
        std::string path(self.dli_fname);
        const size_t slash = path.rfind('/');
        path.erase(slash == std::string::npos ? 0 : slash + 1);
        path += "codecs/";
        path += m_name;
        path += ".so";
        // Kept loaded for the rest of the run, also when the plug-in is let go: the codec
        // libraries keep what they set up when loaded, and unloading them would leak it.
        m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (!m_handle)
            return;
        m_getPicture = reinterpret_cast<GetPictureFunction>(dlsym(m_handle, "GetPicture"));
        m_openAnimation
            = reinterpret_cast<decltype(m_openAnimation)>(dlsym(m_handle, "OpenAnimation"));
        m_animationFrame
            = reinterpret_cast<decltype(m_animationFrame)>(dlsym(m_handle, "GetAnimationFrame"));
        m_closeAnimation
            = reinterpret_cast<decltype(m_closeAnimation)>(dlsym(m_handle, "CloseAnimation"));
    }

    const char *m_name;
    std::once_flag m_loaded;
    void *m_handle = nullptr;
    GetPictureFunction m_getPicture = nullptr;
    void *(*m_openAnimation)(const char *) = nullptr;
    int (*m_animationFrame)(void *, void **, void **, int *) = nullptr;
    void (*m_closeAnimation)(void *) = nullptr;
};

inline uint32_t fourcc(const char (&text)[5])
{
    return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16
        | uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3]));
}

inline uint32_t bigEndian32(const uint8_t *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// The file-type box that opens an ISO media file (HEIF, AVIF): its major brand and the list of
// compatible brands, when the head holds the whole box.
struct FileTypeBox
{
    uint32_t major = 0;
    const uint8_t *compatible = nullptr;
    size_t compatibleCount = 0;

    bool has(uint32_t brand) const
    {
        if (major == brand)
            return true;
        for (size_t i = 0; i < compatibleCount; ++i) {
            if (bigEndian32(compatible + 4 * i) == brand)
                return true;
        }
        return false;
    }

    static bool read(const uint8_t *head, size_t size, FileTypeBox &box)
    {
        if (size < 8 || std::memcmp(head + 4, "ftyp", 4) != 0)
            return false;
        uint64_t boxSize = bigEndian32(head);
        size_t offset = 8;
        if (boxSize == 1) {
            if (size < 16)
                return false;
            boxSize = uint64_t(bigEndian32(head + 8)) << 32 | bigEndian32(head + 12);
            offset = 16;
        }
        // A size of 0 (a box running to the end of the file) is not taken: the codec
        // libraries do not take it either.
        if (boxSize < offset || boxSize > size)
            return false;
        const size_t content = size_t(boxSize) - offset;
        // A major brand, a minor version, then whole brands only.
        if (content < 8 || content % 4 != 0)
            return false;
        box.major = bigEndian32(head + offset);
        box.compatible = head + offset + 8;
        box.compatibleCount = (content - 8) / 4;
        return true;
    }
};

} // namespace spi
