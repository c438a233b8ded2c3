/*
 * Lunetta picture plug-ins: the interface between Lunetta and a picture decoder.
 *
 * A plug-in is an ELF shared object named "*.spi" that exports the C functions below, in the
 * shape of a Susie "00IN" (picture input) plug-in. Lunetta loads it once with dlopen() and
 * keeps it loaded until it ends. Every text is UTF-8. See README.md beside this file.
 *
 * This header has no dependencies beyond the C standard library and may be copied freely.
 */
#ifndef LUNETTA_PLUGIN_H
#define LUNETTA_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define LUNETTA_PLUGIN_EXPORT __attribute__((visibility("default")))
#else
#define LUNETTA_PLUGIN_EXPORT
#endif

/* The size of the file head given to IsSupported; a shorter file is padded with zero bytes. */
#define LUNETTA_PLUGIN_HEAD_SIZE 2048

/*
 * The most memory one picture may take, counted at 32 bits a pixel (width x height x 4 bytes)
 * as Lunetta holds it: 1 GiB, the limit of every loader of Lunetta's. A plug-in should refuse
 * a larger picture from the file's header, before it allocates anything, with
 * LUNETTA_SPI_NO_MEMORY; Lunetta refuses it anyway.
 */
#define LUNETTA_PICTURE_BYTES_LIMIT (1024LL * 1024 * 1024)

/* Results of GetPicture. */
#define LUNETTA_SPI_OK 0
#define LUNETTA_SPI_NOT_IMPLEMENTED (-1)
#define LUNETTA_SPI_CANCELLED 1
#define LUNETTA_SPI_UNKNOWN_FORMAT 2
#define LUNETTA_SPI_BROKEN_DATA 3
#define LUNETTA_SPI_NO_MEMORY 4
#define LUNETTA_SPI_MEMORY_ERROR 5
#define LUNETTA_SPI_READ_ERROR 6
#define LUNETTA_SPI_INTERNAL_ERROR 8

/* Flag of GetPicture: the input is a file (the only input Lunetta gives). */
#define LUNETTA_SPI_INPUT_FILE 0

/*
 * The picture description at the start of the info block: a Windows BITMAPINFOHEADER,
 * little-endian, exactly 40 bytes, followed by the palette (4 bytes per entry: blue, green,
 * red, 0) when biBitCount is 1, 4 or 8.
 */
#pragma pack(push, 1)
typedef struct LunettaBitmapInfoHeader
{
    uint32_t biSize; /* 40 */
    int32_t biWidth; /* pixels, > 0 */
    int32_t biHeight; /* pixels, > 0: the rows are bottom-up */
    uint16_t biPlanes; /* 1 */
    uint16_t biBitCount; /* 1, 4, 8, 24 or 32 */
    uint32_t biCompression; /* 0: uncompressed RGB */
    uint32_t biSizeImage; /* size of the bits block in bytes (0: exactly as the rows need) */
    int32_t biXPelsPerMeter; /* ignored */
    int32_t biYPelsPerMeter; /* ignored */
    uint32_t biClrUsed; /* palette entries; 0: 2^biBitCount (1, 4 and 8 bits) */
    uint32_t biClrImportant; /* ignored */
} LunettaBitmapInfoHeader;
#pragma pack(pop)

/*
 * Optional: the colours the pixels are in. A plug-in may append to the info block, after the
 * header and the palette, one LunettaColourTrailer: either an ICC profile (iccSize bytes right
 * after the trailer) or, with iccSize 0, the code points of ITU-T H.273 that HEIF, AVIF and
 * JPEG XL files state (colour primaries: 1 BT.709/sRGB, 9 BT.2020, 12 Display P3; transfer
 * characteristics: 13 sRGB, 8 linear, 1/6/14/15 BT.709-like). Lunetta then converts the picture
 * to the display's colours, unless the user turned that off; without the trailer the pixels are
 * taken as sRGB. A host that reads only the header and the palette is not disturbed by it.
 */
#define LUNETTA_COLOUR_TRAILER_MAGIC 0x524c434cu /* the bytes "LCLR" */
#pragma pack(push, 1)
typedef struct LunettaColourTrailer
{
    uint32_t magic; /* LUNETTA_COLOUR_TRAILER_MAGIC */
    uint32_t iccSize; /* bytes of the ICC profile that follows; 0: the code points below */
    uint16_t primaries; /* H.273 ColourPrimaries */
    uint16_t transfer; /* H.273 TransferCharacteristics */
} LunettaColourTrailer;
#pragma pack(pop)

/*
 * Progress routine: num of denom done. Return 0 to go on, anything else to cancel.
 * Lunetta passes none (NULL): a plug-in must accept that.
 */
typedef int (*LunettaProgressCallback)(int num, int denom, intptr_t lData);

/*
 * Information texts. infono 0: the API version, "00IN" for a picture input plug-in;
 * 1: the about text (name, version, author, libraries used); 2n+2: the n-th extension pattern
 * such as "*.gif" or "*.heic;*.heif"; 2n+3: its file type ("GIF file"). Copies at most buflen
 * bytes including a terminating NUL into buf and returns the number of bytes written without
 * the NUL; 0 when infono is not known (that ends the list of extensions).
 */
LUNETTA_PLUGIN_EXPORT int GetPluginInfo(int infono, char *buf, int buflen);

/*
 * Non-zero when the plug-in decodes the file. filename is the file's path; head points to its
 * first LUNETTA_PLUGIN_HEAD_SIZE bytes. Decide from the head where possible: it is called for
 * every file of a show, before any other plug-in or the built-in loader is tried.
 */
LUNETTA_PLUGIN_EXPORT int IsSupported(const char *filename, const void *head);

/*
 * Decodes the picture. buf is the file's path, len the offset of the picture in the file
 * (Lunetta gives 0), flag LUNETTA_SPI_INPUT_FILE. On success returns LUNETTA_SPI_OK and sets
 * *pHBInfo to a block holding a LunettaBitmapInfoHeader and the palette, and *pHBm to a block
 * with the pixel rows: bottom row first, each row padded to a multiple of 4 bytes; 24 bits as
 * blue, green, red; 32 bits as blue, green, red, alpha (255 opaque; a picture whose alpha
 * bytes are all 0 is shown opaque). Both blocks come from malloc() and belong to Lunetta
 * afterwards, which frees them with free(). On failure returns another LUNETTA_SPI_ code and
 * leaves nothing allocated.
 */
LUNETTA_PLUGIN_EXPORT int GetPicture(const char *buf, long len, unsigned int flag, void **pHBInfo,
                                     void **pHBm, LunettaProgressCallback lpPrgressCallback,
                                     intptr_t lData);

/*
 * Optional. Opens the plug-in's settings dialog; parent is the X11 window id of the owner
 * (0 when there is none), fnc 0 for the plug-in's settings. Returns 0 when a dialog was shown,
 * LUNETTA_SPI_NOT_IMPLEMENTED when the plug-in has none. A plug-in without settings may leave
 * this function out.
 */
LUNETTA_PLUGIN_EXPORT int ConfigurationDlg(uintptr_t parent, int fnc);

/*
 * Optional: the frames of an animated picture. A plug-in that exports all three functions
 * below lets Lunetta play the animations it decodes; without them (or when OpenAnimation
 * returns NULL) the picture of GetPicture is shown still.
 *
 * OpenAnimation opens the file's frames from the first; NULL when the file cannot be read so.
 * GetAnimationFrame hands out the next frame as GetPicture hands out a picture (two blocks
 * from malloc() that Lunetta frees): the whole picture as it shows at that frame, every frame
 * of one width and height, the first equal to what GetPicture gives; *delayMs is how long it
 * shows as the file states it (0 when it states none: Lunetta then shows it for 100 ms, as it
 * does any frame of 10 ms or less). After the last frame it returns LUNETTA_SPI_END_OF_FRAMES;
 * any other code but LUNETTA_SPI_OK ends the frames too. Lunetta loops by opening the file
 * again. CloseAnimation frees the handle, also before the last frame was read.
 *
 * Frames are read on a worker thread, never in the thread of GetPicture's calls: a plug-in
 * keeps each animation's state with its handle. One handle is used by one thread at a time;
 * several may be open at once.
 */
#define LUNETTA_SPI_END_OF_FRAMES 100

LUNETTA_PLUGIN_EXPORT void *OpenAnimation(const char *filename);
LUNETTA_PLUGIN_EXPORT int GetAnimationFrame(void *animation, void **pHBInfo, void **pHBm,
                                            int *delayMs);
LUNETTA_PLUGIN_EXPORT void CloseAnimation(void *animation);

#ifdef __cplusplus
}
#endif

#endif /* LUNETTA_PLUGIN_H */
