/*
 * Times a Windows picture plug-in's own GetPicture under Wine, with no host and no pipe, so
 * that the benchmark can tell the plug-in's decoding apart from what the host adds.
 *
 *   plugin_timer32.exe PLUGIN FILE RUNS    (plugin_timer64.exe for a 64-bit plug-in)
 *
 * Prints the median in milliseconds of RUNS calls after one not counted, or "failed".
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

typedef int(WINAPI *GetPictureFn)(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL *info,
                                  HLOCAL *bits, void *progress, LONG_PTR data);

static double now_ms(void)
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart * 1000.0 / (double)f.QuadPart;
}

static int by_value(const void *a, const void *b)
{
    const double x = *(const double *)a, y = *(const double *)b;
    return x < y ? -1 : x > y;
}

int main(int argc, char **argv)
{
    HMODULE module;
    GetPictureFn get_picture;
    double *times;
    int runs, i;
    if (argc < 4 || (runs = atoi(argv[3])) < 1 || !(module = LoadLibraryA(argv[1])))
        return puts("failed"), 1;
    get_picture = (GetPictureFn)(void *)GetProcAddress(module, "GetPicture");
    if (!get_picture)
        get_picture = (GetPictureFn)(void *)GetProcAddress(module, "_GetPicture@28");
    times = (double *)calloc((size_t)runs, sizeof *times);
    if (!get_picture || !times)
        return puts("failed"), 1;
    for (i = -1; i < runs; ++i) {
        HLOCAL info = NULL, bits = NULL;
        const double start = now_ms();
        const int result = get_picture(argv[2], 0, 0, &info, &bits, NULL, 0);
        const double took = now_ms() - start;
        if (info)
            LocalFree(info);
        if (bits)
            LocalFree(bits);
        if (result != 0)
            return puts("failed"), 1;
        if (i >= 0)
            times[i] = took;
    }
    qsort(times, (size_t)runs, sizeof *times, by_value);
    printf("%.3f\n", runs % 2 ? times[runs / 2] : (times[runs / 2 - 1] + times[runs / 2]) / 2);
    return 0;
}
