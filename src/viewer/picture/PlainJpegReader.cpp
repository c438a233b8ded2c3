#include "viewer/picture/PlainJpegReader.h"

#include <QFile>
#include <QImageReader>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace {

struct Failure
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void fail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<Failure *>(info->err)->jump, 1);
}

// Level -1 is a warning about the data; the others are traces.
void failOnWarning(j_common_ptr info, int level)
{
    if (level < 0)
        fail(info);
}

void stayQuiet(j_common_ptr) { }

bool hasColourProfile(j_decompress_ptr info)
{
    static constexpr char tag[] = "ICC_PROFILE";
    for (jpeg_saved_marker_ptr marker = info->marker_list; marker; marker = marker->next) {
        if (marker->marker == JPEG_APP0 + 2 && marker->data_length >= sizeof(tag)
            && std::memcmp(marker->data, tag, sizeof(tag)) == 0)
            return true;
    }
    return false;
}

bool isPlain(j_decompress_ptr info)
{
    return info->num_components == 3
        && (info->jpeg_color_space == JCS_YCbCr || info->jpeg_color_space == JCS_RGB)
        && !hasColourProfile(info);
}

bool withinAllocationLimit(JDIMENSION width, JDIMENSION height)
{
    const qint64 limitMiB = QImageReader::allocationLimit();
    return limitMiB <= 0 || qint64(width) * height * 4 <= limitMiB * 1024 * 1024;
}

// A failure jumps back into this frame, so nothing in it may need its destructor run; `out`
// belongs to the caller. False when the picture is not plain or its data not sound.
bool decodeInto(const QByteArray &data, QImage *out)
{
    jpeg_decompress_struct info;
    Failure failure;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = fail;
    failure.manager.emit_message = failOnWarning;
    failure.manager.output_message = stayQuiet;
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xffff);
    jpeg_read_header(&info, TRUE);
    if (!isPlain(&info) || !withinAllocationLimit(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    // RGB32 is 0xffRRGGBB in the machine's byte order; the padding byte comes out as 0xff.
    info.out_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    jpeg_start_decompress(&info);
    *out = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    if (out->isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage PlainJpegReader::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    // Read, not mapped: a file cut short while mapped would end the program.
    const QByteArray data = file.readAll();
    QImage image;
    if (data.isEmpty() || !decodeInto(data, &image))
        return QImage();
    return image;
}
