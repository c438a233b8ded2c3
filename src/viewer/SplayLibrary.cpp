#include "viewer/SplayLibrary.h"

#include "lunetta_plugin.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <dlfcn.h>
#include <malloc.h>

#include <cstdlib>

namespace {

using GetPluginInfoFn = int (*)(int, char *, int);
using IsSupportedFn = int (*)(const char *, const void *);
using GetPictureFn = int (*)(const char *, long, unsigned int, void **, void **,
                             LunettaProgressCallback, intptr_t);
using ConfigurationDlgFn = int (*)(uintptr_t, int);

qint64 modifiedStamp(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? info.lastModified().toMSecsSinceEpoch() ^ info.size() : -1;
}

PluginBlock adopt(void *p)
{
    PluginBlock block;
    block.data.reset(p);
    block.size = p ? malloc_usable_size(p) : 0;
    return block;
}

} // namespace

void PluginBlock::Free::operator()(void *p) const
{
    std::free(p);
}

struct SplayLibrary::Plugin
{
    void *library = nullptr;
    GetPluginInfoFn getPluginInfo = nullptr;
    IsSupportedFn isSupported = nullptr;
    GetPictureFn getPicture = nullptr;
    ConfigurationDlgFn configurationDlg = nullptr;
    // The library is never closed: codec libraries keep thread pools and thread-local data
    // whose clean-up code must stay mapped until the process ends.
};

SplayLibrary::SplayLibrary() = default;
SplayLibrary::~SplayLibrary() = default;

int32_t SplayLibrary::VBLoadPlugin(const QString &path)
{
    if (path.isEmpty())
        return 0;
    if (const auto it = m_byPath.constFind(path); it != m_byPath.cend())
        return *it;
    if (const auto it = m_failed.constFind(path);
        it != m_failed.cend() && *it == modifiedStamp(path))
        return 0;
    // Only regular files: dlopen on a pipe would wait for a writer.
    if (!QFileInfo(path).isFile()) {
        m_failed.insert(path, modifiedStamp(path));
        return 0;
    }

    auto p = std::make_unique<Plugin>();
    // Local symbols: every plug-in exports the same names.
    p->library = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (p->library) {
        p->getPluginInfo = reinterpret_cast<GetPluginInfoFn>(dlsym(p->library, "GetPluginInfo"));
        p->isSupported = reinterpret_cast<IsSupportedFn>(dlsym(p->library, "IsSupported"));
        p->getPicture = reinterpret_cast<GetPictureFn>(dlsym(p->library, "GetPicture"));
        p->configurationDlg
            = reinterpret_cast<ConfigurationDlgFn>(dlsym(p->library, "ConfigurationDlg"));
    }
    if (!p->library || !p->getPluginInfo || !p->isSupported || !p->getPicture) {
        m_failed.insert(path, modifiedStamp(path));
        return 0;
    }
    m_plugins.push_back(std::move(p));
    const auto handle = int32_t(m_plugins.size());
    m_byPath.insert(path, handle);
    return handle;
}

void SplayLibrary::VBFreePlugin(int32_t &handle)
{
    handle = 0;
}

SplayLibrary::Plugin *SplayLibrary::plugin(int32_t handle) const
{
    if (handle < 1 || size_t(handle) > m_plugins.size())
        return nullptr;
    return m_plugins[size_t(handle) - 1].get();
}

int32_t SplayLibrary::VBGetPluginInfoOrg(int32_t handle, int32_t infoNo, QByteArray &buffer,
                                         int32_t bufferLength)
{
    buffer.clear();
    Plugin *p = plugin(handle);
    if (!p || bufferLength <= 0)
        return 0;
    // One byte more than offered, always NUL, so a plug-in that forgets the NUL cannot make
    // the text run past the buffer.
    QByteArray raw(bufferLength + 1, '\0');
    const int written = p->getPluginInfo(infoNo, raw.data(), bufferLength);
    if (written <= 0)
        return 0;
    buffer = QByteArray(raw.constData()); // cut at the first NUL
    return buffer.isEmpty() ? 0 : 1;
}

int32_t SplayLibrary::VBConfigurationDlgOrg(int32_t handle, uintptr_t parent, int32_t fnc)
{
    Plugin *p = plugin(handle);
    if (!p)
        return -2;
    if (!p->configurationDlg)
        return LUNETTA_SPI_NOT_IMPLEMENTED;
    return p->configurationDlg(parent, fnc);
}

int32_t SplayLibrary::VBIsSupportedOrg(int32_t handle, const QString &path, const QByteArray &head)
{
    Plugin *p = plugin(handle);
    if (!p)
        return 0;
    QByteArray padded = head.left(LUNETTA_PLUGIN_HEAD_SIZE);
    padded.append(LUNETTA_PLUGIN_HEAD_SIZE - padded.size(), '\0');
    return p->isSupported(QFile::encodeName(path).constData(), padded.constData()) != 0 ? 1 : 0;
}

int32_t SplayLibrary::VBGetPictureOrg(int32_t handle, const QString &path, long offset,
                                      unsigned flag, PluginBlock &info, PluginBlock &bits)
{
    info = PluginBlock();
    bits = PluginBlock();
    Plugin *p = plugin(handle);
    if (!p)
        return LUNETTA_SPI_INTERNAL_ERROR;
    void *infoBlock = nullptr;
    void *bitsBlock = nullptr;
    const int result = p->getPicture(QFile::encodeName(path).constData(), offset, flag, &infoBlock,
                                     &bitsBlock, nullptr, 0);
    // Whatever the result, blocks handed out are ours to free.
    info = adopt(infoBlock);
    bits = adopt(bitsBlock);
    return result;
}

QByteArray SplayLibrary::readHead(QIODevice &file)
{
    QByteArray head = file.read(LUNETTA_PLUGIN_HEAD_SIZE);
    head.append(LUNETTA_PLUGIN_HEAD_SIZE - head.size(), '\0');
    return head;
}
