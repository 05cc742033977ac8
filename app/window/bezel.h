// The bezel picture: a JPEG carried inside the program and decoded at start
// with libjpeg.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>
#include <cstddef>

#include "workbench/controls/controls.h"

// The JPEG bytes of assets/bezel.jpg, embedded at build time.
extern const unsigned char BEZEL_JPEG[];
extern const std::size_t BEZEL_JPEG_SIZE;

// The bezel picture is square, as wide as its control.
constexpr int BEZEL_SIZE = control("bezel").width;

// The PNG bytes of assets/dg2.png (the face alone, 256 x 256), embedded at
// build time; the window's own icon, as the desktop's icon theme has it.
extern const unsigned char ICON_PNG[];
extern const std::size_t ICON_PNG_SIZE;
QIcon program_icon();

// Decodes a JPEG held in memory into an RGB32 image. On failure returns a null
// image and puts libjpeg's reason into *error.
QImage decode_jpeg(const unsigned char* data, std::size_t size, QString* error);

// The bezel as the window shows it: the decoded picture, or, when it cannot be
// decoded, a plain dark round face on the window's grey, with *error set.
QImage bezel_picture(const unsigned char* data, std::size_t size, QString* error);
