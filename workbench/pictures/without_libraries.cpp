// The pictures interface for a build without libpng and giflib (the browser
// edition's scenario runner, compiled to WebAssembly): every picture asked
// for is refused with a message, so a script that writes one ends with
// "cannot write" instead of a missing file (animations: without_gif.cpp, a
// file of its own, so that a module with a GIF encoder of its own links that
// one instead). Native builds never compile this file.
#include "workbench/files/atomic_file.h"
#include "workbench/pictures/png_writer.h"

std::vector<u8> encode_png(const TwoColourImage&) { return {}; }

bool write_png(const std::string& path, const TwoColourImage&, std::string& error) {
    error = path + ": PNG pictures are not written by this build";
    return false;
}

bool write_png_argb(const std::string& path, int, int, const std::vector<u32>&,
                    std::string& error) {
    error = path + ": PNG pictures are not written by this build";
    return false;
}
