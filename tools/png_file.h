// The tools' pictures, drawn with Qt, written by the workbench's one PNG
// writer: whole, through a temporary file, so a failed run leaves the old
// picture in place.
#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "workbench/pictures/png_writer.h"

// False with the reason in `error` when the picture cannot be encoded or
// written.
inline bool write_png_file(const QImage& picture, const std::string& path, std::string& error) {
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    std::vector<u32> pixels(static_cast<size_t>(argb.width()) * static_cast<size_t>(argb.height()));
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            pixels[static_cast<size_t>(y) * static_cast<size_t>(argb.width()) +
                   static_cast<size_t>(x)] = row[x];
    }
    return write_png_argb(path, argb.width(), argb.height(), pixels, error);
}
