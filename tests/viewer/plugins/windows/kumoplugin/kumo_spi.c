/*
 * A picture plug-in for the tests, for "Kumo" pictures, a tiny format of our own:
 *
 *   "KUMO", uint16 width, uint16 height (little-endian), uint8 24, 7 bytes 0,
 *   then the pixels top-down, left to right, in packets: a byte c, then
 *     c < 128:  c + 1 pixels of blue, green, red each;
 *     c >= 128: one pixel of blue, green, red, repeated c - 127 times.
 *
 * The same source builds as a Windows DLL (a 32-bit "*.spi" or a 64-bit "*.sph", for the
 * Wine host) and as one of Lunetta's own ELF plug-ins, so that both paths decode the same
 * bytes the same way. Variants for the failure tests:
 *   KUMO_HANG   GetPicture never returns
 *   KUMO_CRASH  GetPicture writes through a null pointer
 *   KUMO_NOISY  every call writes to the standard output and reads the standard input
 */
#ifdef _WIN32
#include <windows.h>
#define KUMO_EXPORT __declspec(dllexport)
#define KUMO_CALL WINAPI
typedef HLOCAL KumoBlock;
typedef void *KumoProgress;
typedef HWND KumoWindow;
typedef LONG_PTR KumoData;
typedef LONG_PTR KumoOffset;
#else
#include "lunetta_plugin.h"
#include <unistd.h>
#define KUMO_EXPORT LUNETTA_PLUGIN_EXPORT
#define KUMO_CALL
typedef void *KumoBlock;
typedef LunettaProgressCallback KumoProgress;
typedef uintptr_t KumoWindow;
typedef intptr_t KumoData;
typedef long KumoOffset;
#endif

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define KUMO_HEADER 16

#ifdef _WIN32
/* The about text in code page 932, as a Japanese plug-in writes it: "Kumo 画像 (くも)". */
static const char about[] = "Kumo \x89\xe6\x91\x9c (\x82\xad\x82\xe0)";
#else
static const char about[] = "Kumo \xe7\x94\xbb\xe5\x83\x8f (\xe3\x81\x8f\xe3\x82\x82)";
#endif
static const char *const info[] = { "00IN", about, "*.kmo", "Kumo picture", NULL };

static void noise(void)
{
#ifdef KUMO_NOISY
    char c;
    printf("kumo: chatter on the standard output\n");
    fflush(stdout);
    fread(&c, 1, 1, stdin);
#endif
}

static int is_kumo(const unsigned char *head)
{
    return memcmp(head, "KUMO", 4) == 0 && head[8] == 24;
}

static void *block(size_t size, KumoBlock *handle)
{
#ifdef _WIN32
    *handle = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, size);
    return *handle ? LocalLock(*handle) : NULL;
#else
    *handle = calloc(1, size);
    return *handle;
#endif
}

static void release(KumoBlock handle, int keep)
{
#ifdef _WIN32
    if (handle) {
        LocalUnlock(handle);
        if (!keep)
            LocalFree(handle);
    }
#else
    if (!keep)
        free(handle);
#endif
}

/* The whole file; NULL when it cannot be read. The caller frees. */
static unsigned char *read_file(const char *path, size_t *size)
{
    unsigned char *data = NULL;
    long length;
    FILE *f = fopen(path, "rb");
    if (!f)
        return NULL;
    if (fseek(f, 0, SEEK_END) == 0 && (length = ftell(f)) >= 0 && fseek(f, 0, SEEK_SET) == 0) {
        data = (unsigned char *)malloc((size_t)length + 1);
        if (data && fread(data, 1, (size_t)length, f) != (size_t)length) {
            free(data);
            data = NULL;
        }
        *size = (size_t)length;
    }
    fclose(f);
    return data;
}

/* Unpacks the pixels into bottom-up rows of blue, green, red padded to 4 bytes. */
static int unpack(const unsigned char *p, const unsigned char *end, unsigned char *bits, int w,
                  int h, size_t stride)
{
    const size_t total = (size_t)w * (size_t)h;
    size_t done = 0;
    while (done < total) {
        unsigned c, n, i;
        if (p >= end)
            return 0;
        c = *p++;
        n = c < 128 ? c + 1 : c - 127;
        if (n > total - done || (size_t)(end - p) < (c < 128 ? 3u * n : 3u))
            return 0;
        for (i = 0; i < n; ++i, ++done) {
            const size_t y = done / (size_t)w, x = done % (size_t)w;
            unsigned char *dst = bits + ((size_t)h - 1 - y) * stride + 3 * x;
            dst[0] = p[0];
            dst[1] = p[1];
            dst[2] = p[2];
            if (c < 128)
                p += 3;
        }
        if (c >= 128)
            p += 3;
    }
    return 1;
}

KUMO_EXPORT int KUMO_CALL GetPluginInfo(int infono, char *buf, int buflen)
{
    int i;
    size_t n;
    noise();
    if (!buf || buflen <= 0 || infono < 0)
        return 0;
    for (i = 0; i < infono; ++i) {
        if (!info[i])
            return 0;
    }
    if (!info[infono])
        return 0;
    n = strlen(info[infono]);
    if (n > (size_t)buflen - 1)
        n = (size_t)buflen - 1;
    memcpy(buf, info[infono], n);
    buf[n] = '\0';
    return (int)n;
}

#ifdef _WIN32
/* dw is a pointer to the file's first 2 KB, or (high word 0) an open file handle. */
KUMO_EXPORT int KUMO_CALL IsSupported(const char *filename, ULONG_PTR dw)
{
    unsigned char head[KUMO_HEADER];
    (void)filename;
    noise();
    if ((dw & ~(ULONG_PTR)0xFFFF) == 0) {
        DWORD got = 0;
        if (!ReadFile((HANDLE)dw, head, sizeof head, &got, NULL) || got < sizeof head)
            return 0;
        return is_kumo(head);
    }
    return is_kumo((const unsigned char *)dw);
}
#else
KUMO_EXPORT int IsSupported(const char *filename, const void *head)
{
    (void)filename;
    noise();
    return is_kumo((const unsigned char *)head);
}
#endif

KUMO_EXPORT int KUMO_CALL GetPicture(const char *buf, KumoOffset len, unsigned int flag,
                                     KumoBlock *pHBInfo, KumoBlock *pHBm, KumoProgress progress,
                                     KumoData lData)
{
    size_t size = 0, stride;
    unsigned char *data;
    unsigned char *header;
    unsigned char *bits;
    KumoBlock infoHandle = NULL, bitsHandle = NULL;
    int w, h;
    (void)progress;
    (void)lData;
    noise();
#ifdef KUMO_HANG
    for (;;) {
#ifdef _WIN32
        Sleep(1000);
#else
        sleep(1);
#endif
    }
#endif
#ifdef KUMO_CRASH
    *(volatile int *)(uintptr_t)len = 1;
#endif
    *pHBInfo = NULL;
    *pHBm = NULL;
    if ((flag & 7) != 0 || len != 0)
        return -1;
    data = read_file(buf, &size);
    if (!data)
        return 6;
    if (size < KUMO_HEADER || !is_kumo(data)) {
        free(data);
        return 2;
    }
    w = data[4] | (data[5] << 8);
    h = data[6] | (data[7] << 8);
    stride = ((size_t)w * 3 + 3) / 4 * 4;
    header = (unsigned char *)block(40, &infoHandle);
    bits = (unsigned char *)block(stride * (size_t)(h ? h : 1), &bitsHandle);
    if (!header || !bits || w == 0 || h == 0
        || !unpack(data + KUMO_HEADER, data + size, bits, w, h, stride)) {
        release(infoHandle, 0);
        release(bitsHandle, 0);
        free(data);
        return header && bits ? 3 : 4;
    }
    free(data);
    /* BITMAPINFOHEADER: size, width, height, planes, bit count; the rest stays 0. */
    header[0] = 40;
    memcpy(header + 4, &w, 4);
    memcpy(header + 8, &h, 4);
    header[12] = 1;
    header[14] = 24;
    release(infoHandle, 1);
    release(bitsHandle, 1);
    *pHBInfo = infoHandle;
    *pHBm = bitsHandle;
    return 0;
}

KUMO_EXPORT int KUMO_CALL ConfigurationDlg(KumoWindow parent, int fnc)
{
    (void)parent;
    noise();
    /* Nothing to set; a real dialog would need a display the tests do not have. */
    return fnc == 0 ? 0 : -1;
}
