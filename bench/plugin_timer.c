/*
 * Times a Windows picture plug-in's own GetPicture under Wine, with no host and no pipe, so
 * that the benchmark can tell the plug-in's decoding apart from what the host adds.
 *
 *   plugin_timer32.exe PLUGIN FILE    (plugin_timer64.exe for a 64-bit plug-in)
 *
 * Makes one call that is not counted and prints "ready"; then makes one call for each line it
 * reads and prints its milliseconds, or "failed". The benchmark takes turns with the host's
 * calls this way, so that both see the machine in the same state.
 */
#include <windows.h>

#include <stdio.h>

typedef int(WINAPI *GetPictureFn)(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL *info,
                                  HLOCAL *bits, void *progress, LONG_PTR data);

static double now_ms(void)
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart * 1000.0 / (double)f.QuadPart;
}

/* Milliseconds of one call, or a negative number when it failed. */
static double timed_call(GetPictureFn get_picture, const char *file)
{
    HLOCAL info = NULL, bits = NULL;
    const double start = now_ms();
    const int result = get_picture(file, 0, 0, &info, &bits, NULL, 0);
    const double took = now_ms() - start;
    if (info)
        LocalFree(info);
    if (bits)
        LocalFree(bits);
    return result == 0 ? took : -1;
}

int main(int argc, char **argv)
{
    HMODULE module;
    GetPictureFn get_picture = NULL;
    char line[16];
    if (argc >= 3 && (module = LoadLibraryA(argv[1]))) {
        get_picture = (GetPictureFn)(void *)GetProcAddress(module, "GetPicture");
        if (!get_picture)
            get_picture = (GetPictureFn)(void *)GetProcAddress(module, "_GetPicture@28");
    }
    if (!get_picture || timed_call(get_picture, argv[2]) < 0)
        return puts("failed"), 1;
    puts("ready");
    fflush(stdout);
    while (fgets(line, sizeof line, stdin)) {
        const double took = timed_call(get_picture, argv[2]);
        if (took < 0)
            return puts("failed"), 1;
        printf("%.3f\n", took);
        fflush(stdout);
    }
    return 0;
}
