// What each plug-in split into a front module (NAME.spi) and a decoder module
// (codecs/NAME.so) supplies of its own. The plug-in functions themselves are the same for all
// of them: codec_front.cpp exports the front's, codec_decoder.cpp the decoder's.
#pragma once

#include <cstdint>

namespace spi::plugin {

// The front module's part.
extern const char *const info[]; // GetPluginInfo's texts, ending with nullptr
extern const char codecName[]; // the decoder is codecs/<codecName>.so
bool isOurs(const uint8_t *head); // LUNETTA_PLUGIN_HEAD_SIZE bytes of the file's start

// The decoder module's part.
extern const bool decodesInsideFiles; // a picture may start at an offset in a larger file
// Decodes the picture at `offset` in the file at `path` (offset is 0 unless decodesInsideFiles).
int decode(const char *path, long offset, void **pInfo, void **pBits);

} // namespace spi::plugin
