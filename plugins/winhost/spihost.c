/*
 * Lunetta's Windows plug-in host: loads one Susie picture plug-in (a 32-bit "*.spi" or a
 * 64-bit "*.sph" DLL) and answers Lunetta's calls to it over standard input and output, as
 * spihost_protocol.h describes. It runs under Wine, one process per plug-in.
 *
 *   spihost32.exe Z:\path\to\plugin.spi      (spihost64.exe for a 64-bit plug-in)
 *
 * Lunetta speaks UTF-8; the plug-in gets paths in the system's code page and its texts are
 * read as code page 932, as on Japanese Windows. A plug-in that crashes ends the host at once (no
 * crash dialog); one that writes to its standard output or reads its standard input gets NUL, never
 * the pipe.
 */
#include "spihost_protocol.h"

#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef int(WINAPI *ProgressFn)(int num, int denom, LONG_PTR data);
typedef int(WINAPI *GetPluginInfoFn)(int infono, LPSTR buf, int buflen);
typedef int(WINAPI *IsSupportedFn)(LPCSTR filename, ULONG_PTR dw);
typedef int(WINAPI *GetPictureFn)(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL *info,
                                  HLOCAL *bits, ProgressFn progress, LONG_PTR data);
typedef int(WINAPI *ConfigurationDlgFn)(HWND parent, int fnc);

/* The code page of the plug-ins' texts. */
#define PLUGIN_CODE_PAGE 932
#define MAX_REQUEST (1u << 20)

static HANDLE in_pipe;
static HANDLE out_pipe;

/* The file Lunetta shares for the pictures' bits (see SHARE), and this host's view of it. */
static HANDLE shared_file = INVALID_HANDLE_VALUE;
static HANDLE shared_mapping;
static unsigned char *shared_view;
static SIZE_T shared_size;

static GetPluginInfoFn get_plugin_info;
static IsSupportedFn is_supported;
static GetPictureFn get_picture;
static ConfigurationDlgFn configuration_dlg;

static LONG WINAPI end_on_crash(EXCEPTION_POINTERS *e)
{
    (void)e;
    /* No debugger, no dialog: Lunetta sees the pipe close and counts a failed call. */
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

/* Many plug-ins call the progress routine without checking it for NULL. */
static int WINAPI no_progress(int num, int denom, LONG_PTR data)
{
    (void)num;
    (void)denom;
    (void)data;
    return 0;
}

static int read_all(void *buf, DWORD size)
{
    char *p = (char *)buf;
    while (size > 0) {
        DWORD got = 0;
        if (!ReadFile(in_pipe, p, size, &got, NULL) || got == 0)
            return 0;
        p += got;
        size -= got;
    }
    return 1;
}

static int write_all(const void *buf, size_t size)
{
    const char *p = (const char *)buf;
    while (size > 0) {
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : (DWORD)size;
        DWORD put = 0;
        if (!WriteFile(out_pipe, p, chunk, &put, NULL) || put == 0)
            return 0;
        p += put;
        size -= put;
    }
    return 1;
}

static uint32_t get_u32(const unsigned char *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

/* UTF-8 to UTF-16; NULL on failure. The caller frees. */
static wchar_t *widen(const char *utf8, int length)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, length, NULL, 0);
    wchar_t *w = (wchar_t *)calloc((size_t)n + 1, sizeof(wchar_t));
    if (w)
        MultiByteToWideChar(CP_UTF8, 0, utf8, length, w, n);
    return w;
}

/* A path as the plug-in's ANSI file functions read it: in the process's code page (932 on a
   Japanese system). A name that has no spelling there is given by its short (8.3) form, which
   is plain ASCII. NULL when neither works. The caller frees. */
static char *plugin_path(const char *utf8, int length)
{
    wchar_t *w = widen(utf8, length);
    char *narrow = NULL;
    BOOL lossy = FALSE;
    int n;
    if (!w)
        return NULL;
    n = WideCharToMultiByte(CP_ACP, 0, w, -1, NULL, 0, NULL, &lossy);
    if (lossy) {
        wchar_t shortName[MAX_PATH * 2];
        const DWORD s = GetShortPathNameW(w, shortName, MAX_PATH * 2);
        if (s > 0 && s < MAX_PATH * 2) {
            free(w);
            w = _wcsdup(shortName);
            if (!w)
                return NULL;
            lossy = FALSE;
            n = WideCharToMultiByte(CP_ACP, 0, w, -1, NULL, 0, NULL, &lossy);
        }
    }
    if (!lossy && n > 0) {
        narrow = (char *)calloc((size_t)n + 1, 1);
        if (narrow)
            WideCharToMultiByte(CP_ACP, 0, w, -1, narrow, n, NULL, NULL);
    }
    free(w);
    return narrow;
}

/* The plug-ins' own texts are in code page 932 whatever the system's: old Japanese plug-ins
   write their names and file types in it. As UTF-8 into out (empty when it does not convert). */
static void to_utf8(const char *text, char *out, int outSize)
{
    wchar_t w[1024];
    out[0] = '\0';
    if (MultiByteToWideChar(PLUGIN_CODE_PAGE, 0, text, -1, w, 1024) <= 0
        || WideCharToMultiByte(CP_UTF8, 0, w, -1, out, outSize, NULL, NULL) <= 0)
        out[0] = '\0';
}

static void put_u32(unsigned char *p, uint32_t v)
{
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
    p[2] = (unsigned char)(v >> 16);
    p[3] = (unsigned char)(v >> 24);
}

static int write_u32(uint32_t v)
{
    unsigned char b[4];
    put_u32(b, v);
    return write_all(b, 4);
}

static int send_hello(int32_t status)
{
    /* Plug-in texts of up to 1023 bytes; their UTF-8 form takes at most 3 bytes a character. */
    static char texts[SPIHOST_MAX_INFO][3 * 1024];
    uint32_t count = 0;
    uint32_t length = 16;
    uint32_t i;
    unsigned char head[16];
    int ok;
    for (; status == 0 && count < SPIHOST_MAX_INFO; ++count) {
        char raw[1024];
        memset(raw, 0, sizeof raw);
        /* One byte less than the buffer, so a plug-in that forgets the NUL is cut. */
        /* Some plug-ins return 0 although they filled the buffer: the text decides. The API
           version and the about text always count; the extension list ends at an empty one. */
        get_plugin_info((int)count, raw, (int)sizeof raw - 1);
        if (!raw[0] && count >= 2)
            break;
        to_utf8(raw, texts[count], (int)sizeof texts[count]);
        length += 4 + (uint32_t)strlen(texts[count]);
    }
    memcpy(head, SPIHOST_MAGIC, 4);
    put_u32(head + 4, (uint32_t)status);
    put_u32(head + 8, configuration_dlg ? SPIHOST_HAS_CONFIGURE : 0);
    put_u32(head + 12, count);
    ok = write_u32(length) && write_all(head, 16);
    for (i = 0; ok && i < count; ++i) {
        const uint32_t n = (uint32_t)strlen(texts[i]);
        ok = write_u32(n) && write_all(texts[i], n);
    }
    return ok;
}

static int answer(unsigned char op, int32_t result)
{
    unsigned char b[5];
    b[0] = op;
    put_u32(b + 1, (uint32_t)result);
    return write_u32(5) && write_all(b, 5);
}

static int do_is_supported(const unsigned char *p, uint32_t size)
{
    uint32_t n;
    char *path;
    char *head;
    int result = 0;
    if (size < 4 || (n = get_u32(p)) > size - 4 || size - 4 - n != SPIHOST_HEAD_SIZE)
        return answer(SPIHOST_IS_SUPPORTED, SPIHOST_BAD_REQUEST);
    path = plugin_path((const char *)p + 4, (int)n);
    /* The head goes to the plug-in in a block of its own: it may write into it. */
    head = (char *)malloc(SPIHOST_HEAD_SIZE);
    if (path && head) {
        memcpy(head, p + 4 + n, SPIHOST_HEAD_SIZE);
        result = is_supported(path, (ULONG_PTR)head) != 0;
    }
    free(path);
    free(head);
    return answer(SPIHOST_IS_SUPPORTED, result);
}

static void unmap_shared(void)
{
    if (shared_view)
        UnmapViewOfFile(shared_view);
    if (shared_mapping)
        CloseHandle(shared_mapping);
    shared_view = NULL;
    shared_mapping = NULL;
    shared_size = 0;
}

static int do_share(const unsigned char *p, uint32_t size)
{
    uint32_t n;
    wchar_t *path;
    if (size < 4 || (n = get_u32(p)) != size - 4)
        return answer(SPIHOST_SHARE, SPIHOST_BAD_REQUEST);
    unmap_shared();
    if (shared_file != INVALID_HANDLE_VALUE)
        CloseHandle(shared_file);
    path = widen((const char *)p + 4, (int)n);
    shared_file = path ? CreateFileW(path, GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                     OPEN_EXISTING, 0, NULL)
                       : INVALID_HANDLE_VALUE;
    free(path);
    return answer(SPIHOST_SHARE, shared_file != INVALID_HANDLE_VALUE ? 0 : 1);
}

/* Copies the bits into the shared file, growing it when they do not fit; 0 when there is no
   shared file or it cannot take them (the pipe carries them then). */
static int put_shared(const void *bits, SIZE_T size)
{
    if (shared_file == INVALID_HANDLE_VALUE)
        return 0;
    if (size > shared_size) {
        /* An eighth to spare and whole MiB, so that a slightly larger picture does not map it
           again. The mapping grows the file; it never shrinks it. */
        const SIZE_T want = (size + (size >> 3) + 0xFFFFF) & ~(SIZE_T)0xFFFFF;
        const ULONGLONG want64 = want;
        unmap_shared();
        shared_mapping = CreateFileMappingW(shared_file, NULL, PAGE_READWRITE,
                                            (DWORD)(want64 >> 32), (DWORD)want64, NULL);
        shared_view = shared_mapping
            ? (unsigned char *)MapViewOfFile(shared_mapping, FILE_MAP_WRITE, 0, 0, want)
            : NULL;
        if (!shared_view) {
            unmap_shared();
            return 0;
        }
        shared_size = want;
    }
    memcpy(shared_view, bits, size);
    return 1;
}

static SIZE_T block_size(HLOCAL h)
{
    return h ? LocalSize(h) : 0;
}

static int do_get_picture(const unsigned char *p, uint32_t size)
{
    uint32_t n;
    char *path;
    HLOCAL info = NULL;
    HLOCAL bits = NULL;
    int32_t result = -1;
    SIZE_T infoSize, bitsSize;
    const void *infoData = NULL;
    const void *bitsData = NULL;
    unsigned char *head;
    int inFile, ok;
    if (size < 4 || (n = get_u32(p)) != size - 4)
        return answer(SPIHOST_GET_PICTURE, SPIHOST_BAD_REQUEST);
    path = plugin_path((const char *)p + 4, (int)n);
    if (path)
        result = get_picture(path, 0, 0, &info, &bits, no_progress, 0);
    free(path);
    infoSize = result == 0 ? block_size(info) : 0;
    bitsSize = result == 0 ? block_size(bits) : 0;
    if (result == 0) {
        infoData = info ? LocalLock(info) : NULL;
        bitsData = bits ? LocalLock(bits) : NULL;
        /* Lunetta refuses anything this large anyway; the frame length could not say it. */
        if (!infoData || !bitsData || infoSize > (1u << 20) || bitsSize > 0x7FF00000u) {
            result = 4;
            infoSize = bitsSize = 0;
        }
    }
    /* Everything before the bits in one write: each write may wake Lunetta up on its own. */
    head = (unsigned char *)malloc(4 + 5 + 4 + infoSize + 4);
    ok = head != NULL;
    if (ok) {
        inFile = bitsSize > 0 && put_shared(bitsData, bitsSize);
        put_u32(head, (uint32_t)(5 + 4 + infoSize + 4 + (inFile ? 0 : bitsSize)));
        head[4] = SPIHOST_GET_PICTURE;
        put_u32(head + 5, (uint32_t)result);
        put_u32(head + 9, (uint32_t)infoSize);
        if (infoSize > 0)
            memcpy(head + 13, infoData, infoSize);
        put_u32(head + 13 + infoSize, (uint32_t)bitsSize | (inFile ? SPIHOST_BITS_IN_FILE : 0));
        ok = write_all(head, 4 + 5 + 4 + infoSize + 4) && (inFile || write_all(bitsData, bitsSize));
        free(head);
    }
    if (infoData)
        LocalUnlock(info);
    if (bitsData)
        LocalUnlock(bits);
    if (info)
        LocalFree(info);
    if (bits)
        LocalFree(bits);
    return ok;
}

static int do_configure(const unsigned char *p, uint32_t size)
{
    int32_t fnc;
    if (size != 4)
        return answer(SPIHOST_CONFIGURE, SPIHOST_BAD_REQUEST);
    fnc = (int32_t)get_u32(p);
    if (!configuration_dlg)
        return answer(SPIHOST_CONFIGURE, -1);
    return answer(SPIHOST_CONFIGURE, configuration_dlg(NULL, fnc));
}

typedef void (*AnyFn)(void);

static AnyFn find(HMODULE module, const char *name, const char *decorated)
{
    FARPROC f = GetProcAddress(module, name);
    /* Some 32-bit plug-ins export their stdcall names as the compiler spelled them. */
    if (!f)
        f = GetProcAddress(module, decorated);
    return (AnyFn)(void *)f;
}

int main(void)
{
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    HMODULE module = NULL;
    HANDLE nul;
    unsigned char *request;

    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(end_on_crash);

    /* The protocol keeps the pipes to itself; the plug-in's standard handles are NUL. */
    DuplicateHandle(GetCurrentProcess(), GetStdHandle(STD_INPUT_HANDLE), GetCurrentProcess(),
                    &in_pipe, 0, FALSE, DUPLICATE_SAME_ACCESS);
    DuplicateHandle(GetCurrentProcess(), GetStdHandle(STD_OUTPUT_HANDLE), GetCurrentProcess(),
                    &out_pipe, 0, FALSE, DUPLICATE_SAME_ACCESS);
    nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      NULL, OPEN_EXISTING, 0, NULL);
    SetStdHandle(STD_INPUT_HANDLE, nul);
    SetStdHandle(STD_OUTPUT_HANDLE, nul);
    freopen("NUL", "rb", stdin);
    freopen("NUL", "wb", stdout);

    if (argv && argc >= 2)
        module = LoadLibraryW(argv[1]);
    if (module) {
        get_plugin_info = (GetPluginInfoFn)find(module, "GetPluginInfo", "_GetPluginInfo@12");
        is_supported = (IsSupportedFn)find(module, "IsSupported", "_IsSupported@8");
        get_picture = (GetPictureFn)find(module, "GetPicture", "_GetPicture@28");
        configuration_dlg
            = (ConfigurationDlgFn)find(module, "ConfigurationDlg", "_ConfigurationDlg@8");
    }
    if (!module || !get_plugin_info || !is_supported || !get_picture) {
        send_hello(module ? SPIHOST_MISSING_FUNCTION : SPIHOST_LOAD_FAILED);
        return 1;
    }
    if (!send_hello(0))
        return 1;

    request = (unsigned char *)malloc(MAX_REQUEST);
    for (;;) {
        unsigned char lb[4];
        uint32_t length;
        int ok;
        if (!request || !read_all(lb, 4))
            return 0;
        length = get_u32(lb);
        if (length == 0 || length > MAX_REQUEST || !read_all(request, length))
            return 1;
        switch (request[0]) {
        case SPIHOST_IS_SUPPORTED:
            ok = do_is_supported(request + 1, length - 1);
            break;
        case SPIHOST_GET_PICTURE:
            ok = do_get_picture(request + 1, length - 1);
            break;
        case SPIHOST_CONFIGURE:
            ok = do_configure(request + 1, length - 1);
            break;
        case SPIHOST_SHARE:
            ok = do_share(request + 1, length - 1);
            break;
        case SPIHOST_QUIT:
            return 0;
        default:
            ok = answer(request[0], SPIHOST_BAD_REQUEST);
            break;
        }
        if (!ok)
            return 1;
    }
}
