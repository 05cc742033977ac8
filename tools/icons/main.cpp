// Scales the program's icon to each size of the hicolor icon theme the
// package installs. Smooth scaling from the 256-pixel face keeps the thin
// rings of the bezel readable at 48 pixels.
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <cstdio>
#include <string>

#include "tools/png_file.h"
#include "workbench/files/atomic_file.h"

namespace {

constexpr int ICON_SIZES[] = {48, 64, 128, 256};

bool write_png(const QImage& picture, const QString& path) {
    std::string error;
    if (write_png_file(picture, path.toStdString(), error)) return true;
    std::fprintf(stderr, "dg2_icons: %s\n", error.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: dg2_icons SOURCE.png FOLDER\n");
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull() || source.width() != source.height()) {
        std::fprintf(stderr, "dg2_icons: %s is not a square picture\n", argv[1]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[2]);
    for (const int size : ICON_SIZES) {
        const QString apps = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        if (!QDir().mkpath(apps)) {
            std::fprintf(stderr, "dg2_icons: cannot create %s\n", qPrintable(apps));
            return 1;
        }
        const QImage icon =
            source.size() == QSize(size, size)
                ? source
                : source.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (!write_png(icon, apps + QStringLiteral("/dg2.png"))) return 1;
    }
    return 0;
}
