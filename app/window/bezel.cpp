#include "app/window/bezel.h"

// jpeglib.h uses FILE without including its header.
#include <cstdio>

#include <jpeglib.h>

#include <QPainter>
#include <QPixmap>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

namespace {

// libjpeg's own error handler ends the process; this one jumps back to the
// decoder with the library's message instead.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void on_error(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings (level -1) are corrupt data that libjpeg would paper over with
// grey; a damaged picture counts as a failed one. Trace messages are ignored.
void on_message(j_common_ptr info, int level) {
    if (level < 0) on_error(info);
}

constexpr int LARGEST_SIDE = 4096;

struct Decoded {
    unsigned char* rgb;  // malloc'ed, width * height * 3 bytes
    int width;
    int height;
};

// Only plain C data lives in this frame, so the jump from the error handler
// skips no destructor.
bool decode_rgb(const unsigned char* data, std::size_t size, Decoded* out, char* message) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    unsigned char* volatile rgb = nullptr;

    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = on_error;
    errors.base.emit_message = on_message;
    errors.message[0] = '\0';
    if (setjmp(errors.jump)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", errors.message);
        jpeg_destroy_decompress(&info);
        std::free(rgb);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    if (width > LARGEST_SIDE || height > LARGEST_SIDE || info.output_components != 3) {
        std::snprintf(message, JMSG_LENGTH_MAX, "unexpected picture format %d x %d x %d", width,
                      height, info.output_components);
        jpeg_destroy_decompress(&info);
        return false;
    }
    const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
    rgb = static_cast<unsigned char*>(std::malloc(row_bytes * static_cast<std::size_t>(height)));
    if (rgb == nullptr) {
        std::snprintf(message, JMSG_LENGTH_MAX, "out of memory");
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb + row_bytes * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    *out = Decoded{rgb, width, height};
    return true;
}

}  // namespace

QImage decode_jpeg(const unsigned char* data, std::size_t size, QString* error) {
    if (data == nullptr || size == 0) {
        if (error != nullptr) *error = QStringLiteral("no picture data");
        return {};
    }
    Decoded decoded{};
    char message[JMSG_LENGTH_MAX];
    if (!decode_rgb(data, size, &decoded, message)) {
        if (error != nullptr) *error = QString::fromLocal8Bit(message);
        return {};
    }
    QImage image(decoded.width, decoded.height, QImage::Format_RGB32);
    for (int y = 0; y < decoded.height; ++y) {
        const unsigned char* source = decoded.rgb + static_cast<std::size_t>(y) * decoded.width * 3;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < decoded.width; ++x)
            line[x] = qRgb(source[3 * x], source[3 * x + 1], source[3 * x + 2]);
    }
    std::free(decoded.rgb);
    return image;
}

QImage bezel_picture(const unsigned char* data, std::size_t size, QString* error) {
    QImage picture = decode_jpeg(data, size, error);
    if (!picture.isNull()) return picture;

    // Without its picture the instrument is still usable: a dark face keeps
    // the lamp, the LCD and the key areas where a user expects them.
    picture = QImage(BEZEL_SIZE, BEZEL_SIZE, QImage::Format_RGB32);
    picture.fill(QColor(212, 208, 200));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(24, 24, 24));
    painter.drawEllipse(QRectF(2, 2, BEZEL_SIZE - 4, BEZEL_SIZE - 4));
    return picture;
}

// An icon that cannot be decoded leaves the window with the desktop's default
// icon; nothing else depends on it.
QIcon program_icon() {
    QPixmap picture;
    if (!picture.loadFromData(ICON_PNG, static_cast<uint>(ICON_PNG_SIZE), "PNG")) return QIcon();
    return QIcon(picture);
}
