#include "viewer/picture/WindowMemory.h"

#include <QBackingStore>
#include <QImage>
#include <QThreadPool>
#include <QWidget>

#include <sys/mman.h>
#include <unistd.h>

void WindowMemory::prepare(QWidget *window)
{
    if (!window || !window->isWindow() || !window->isVisible() || window->size().isEmpty())
        return;
    QBackingStore *store = window->backingStore();
    if (!store || store->size() == window->size())
        return;
    // The repaint finds the store at the window's size and keeps it.
    store->resize(window->size());
    QPaintDevice *device = store->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return;
    const auto *image = static_cast<const QImage *>(device);
#ifdef MADV_POPULATE_WRITE
    const auto page = quintptr(sysconf(_SC_PAGESIZE));
    const quintptr start = quintptr(image->constBits()) & ~(page - 1);
    const quintptr end
        = (quintptr(image->constBits()) + image->sizeInBytes() + page - 1) & ~(page - 1);
    // Faulting pages in leaves their content alone, so the paint may write them meanwhile; a
    // store let go of meanwhile only makes the call fail.
    QThreadPool::globalInstance()->start([start, end] {
        madvise(reinterpret_cast<void *>(start), end - start, MADV_POPULATE_WRITE);
    });
#else
    Q_UNUSED(image);
#endif
}
