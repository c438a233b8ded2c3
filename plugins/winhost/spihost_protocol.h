/*
 * The pipe protocol between Lunetta and its Windows plug-in host.
 *
 * Every message in either direction is one frame: a 32-bit little-endian length, then that
 * many bytes of payload. Lunetta sends one request and reads its answer before sending the
 * next, so neither side ever needs more than one frame in flight.
 *
 * At start the host loads the plug-in named on its command line and sends a hello:
 *   "LSH1", int32 result (0: loaded), uint32 flags, uint32 count, then count texts, each
 *   uint32 length + UTF-8 bytes: the plug-in's info texts 0, 1, 2, ... up to the first empty
 *   one. A host that cannot load the plug-in sends a hello with a non-zero result and ends.
 *
 * Requests start with one byte naming the call; every answer starts with the same byte and
 * an int32 result:
 *   IS_SUPPORTED  uint32 length + UTF-8 path, then the file's first 2048 bytes
 *                 -> result (non-zero: accepted)
 *   GET_PICTURE   uint32 length + UTF-8 path
 *                 -> result (0: decoded), then uint32 length + info block,
 *                    uint32 length + bits block (both empty unless the result is 0)
 *   CONFIGURE     int32 function code -> result (-1: the plug-in has no dialog)
 *   QUIT          no answer; the host ends
 *   SHARE         uint32 length + UTF-8 path of a file the host keeps open for the rest of its
 *                 run -> result (0: opened). From then on the host may put a picture's bits
 *                 into that file instead of the frame: the bits length of a GET_PICTURE answer
 *                 then has SPIHOST_BITS_IN_FILE set, the frame ends after it, and the bits are
 *                 the file's first (length & ~SPIHOST_BITS_IN_FILE) bytes. The host grows the
 *                 file when a picture does not fit; it must never shrink it.
 */
#ifndef LUNETTA_SPIHOST_PROTOCOL_H
#define LUNETTA_SPIHOST_PROTOCOL_H

#define SPIHOST_MAGIC "LSH1"
#define SPIHOST_HEAD_SIZE 2048

#define SPIHOST_IS_SUPPORTED 1
#define SPIHOST_GET_PICTURE 2
#define SPIHOST_CONFIGURE 3
#define SPIHOST_QUIT 4
#define SPIHOST_SHARE 5

/* In a bits length: the bits are in the shared file, not in the frame. */
#define SPIHOST_BITS_IN_FILE 0x80000000u

/* Flags of the hello. */
#define SPIHOST_HAS_CONFIGURE 1u

/* Results of the host itself, outside the plug-in's own codes. */
#define SPIHOST_LOAD_FAILED 1
#define SPIHOST_MISSING_FUNCTION 2
#define SPIHOST_BAD_REQUEST (-100)

/* The most info texts a hello carries. */
#define SPIHOST_MAX_INFO 256

#endif
