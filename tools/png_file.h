// The tools' pictures: encoded as PNG in memory, then written whole through a
// temporary file, so a failed run leaves the old picture in place.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <string>
#include <string_view>

#include "workbench/files/atomic_file.h"

// False with the reason in `error` when the picture cannot be encoded or
// written.
inline bool write_png_file(const QImage& picture, const std::string& path, std::string& error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG")) {
        error = path + ": cannot encode the picture as PNG";
        return false;
    }
    return write_file_atomically(
        path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), error);
}
