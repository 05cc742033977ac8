// Draws the bezel of the instrument as the window shows it behind its
// controls, 310 x 310 pixels: a black round face in a metal rim, the red lamp
// at the top centre, the maker's and the product's names under it, the light
// grey LCD window, and the three keys at the bottom. The window lays its lamp,
// LCD frame and key areas over these places:
//   lamp 144, 17 (22 x 22)       LCD frame 39, 92 (231 x 135)
//   left key 65, 234 (49 x 49)   centre key 131, 247   right key 195, 234
// Also draws the program's icon from the same face.
// jpeglib.h uses FILE without including its header.
#include <cstdio>

#include <jpeglib.h>

#include <QBuffer>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/png_file.h"
#include "workbench/files/atomic_file.h"

namespace {

constexpr int SIZE = 310;
constexpr QPointF CENTRE(155, 155);
constexpr QPointF LAMP(155, 28);
constexpr QPointF LEFT_KEY(89.5, 258.5);
constexpr QPointF CENTRE_KEY(155.5, 271.5);
constexpr QPointF RIGHT_KEY(219.5, 258.5);
constexpr int JPEG_QUALITY = 92;
// The larger pictures are shown with smaller pixels, where the coarser
// quantisation does not show, at half the size.
constexpr int LARGE_JPEG_QUALITY = 85;
constexpr int ICON_SIZE = 256;

QFont face_font(int pixels, int weight, qreal spacing) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void draw_screw(QPainter& p, QPointF at) {
    QRadialGradient head(at - QPointF(2, 2), 9);
    head.setColorAt(0, QColor(190, 190, 190));
    head.setColorAt(1, QColor(90, 90, 92));
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(head);
    p.drawEllipse(at, 7, 7);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.drawLine(at + QPointF(-4.5, 4.5), at + QPointF(4.5, -4.5));
}

void draw_panel_and_rim(QPainter& p) {
    QLinearGradient panel(0, 0, SIZE, SIZE);
    panel.setColorAt(0, QColor(78, 80, 84));
    panel.setColorAt(1, QColor(46, 47, 50));
    p.fillRect(QRect(0, 0, SIZE, SIZE), panel);
    draw_screw(p, QPointF(17, 17));
    draw_screw(p, QPointF(SIZE - 17, 17));
    draw_screw(p, QPointF(17, SIZE - 17));
    draw_screw(p, QPointF(SIZE - 17, SIZE - 17));

    QLinearGradient rim(0, 0, SIZE, SIZE);
    rim.setColorAt(0, QColor(225, 225, 228));
    rim.setColorAt(0.5, QColor(120, 122, 126));
    rim.setColorAt(1, QColor(60, 60, 64));
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(rim);
    p.drawEllipse(CENTRE, 154, 154);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(8, 8, 8));
    p.drawEllipse(CENTRE, 148, 148);
}

void draw_lamp(QPainter& p) {
    QLinearGradient ring(LAMP - QPointF(15, 15), LAMP + QPointF(15, 15));
    ring.setColorAt(0, QColor(230, 230, 230));
    ring.setColorAt(1, QColor(90, 90, 90));
    p.setPen(Qt::NoPen);
    p.setBrush(ring);
    p.drawEllipse(LAMP, 15, 15);
    QRadialGradient lens(LAMP - QPointF(3, 3), 12);
    lens.setColorAt(0, QColor(255, 120, 110));
    lens.setColorAt(1, QColor(170, 0, 0));
    p.setBrush(lens);
    p.drawEllipse(LAMP, 11, 11);
}

void draw_names(QPainter& p) {
    p.setPen(QColor(235, 235, 235));
    p.setFont(face_font(11, QFont::Bold, 1.5));
    p.drawText(QRectF(40, 46, 230, 16), Qt::AlignCenter, QStringLiteral("CORVANTA MERIDIAL"));
    p.setPen(QColor(220, 40, 30));
    p.setFont(face_font(17, QFont::Black, 1));
    p.drawText(QRectF(40, 62, 230, 22), Qt::AlignCenter, QStringLiteral("DG-2"));
}

void draw_lcd_window(QPainter& p) {
    p.setPen(QPen(QColor(120, 120, 118), 1));
    p.setBrush(QColor(196, 197, 192));
    p.drawRoundedRect(QRectF(31.5, 85.5, 246, 148), 6, 6);
    p.setPen(QPen(QColor(150, 150, 146), 1));
    p.setBrush(QColor(214, 215, 210));
    p.drawRect(QRectF(37.5, 90.5, 234, 138));
}

void draw_key_body(QPainter& p, QPointF at, qreal radius, QColor light, QColor dark) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0));
    p.drawEllipse(at + QPointF(0, 2), radius + 2, radius + 2);
    QRadialGradient body(at - QPointF(radius / 3, radius / 3), radius * 1.4);
    body.setColorAt(0, light);
    body.setColorAt(1, dark);
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(body);
    p.drawEllipse(at, radius, radius);
}

void draw_triangle(QPainter& p, QPointF tip, qreal half_width, qreal height) {
    QPainterPath path;
    path.moveTo(tip);
    path.lineTo(tip + QPointF(-half_width, height));
    path.lineTo(tip + QPointF(half_width, height));
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 240, 240));
    p.drawPath(path);
}

void draw_keys(QPainter& p) {
    const QColor light(120, 122, 128);
    const QColor dark(40, 41, 45);
    draw_key_body(p, LEFT_KEY, 20, light, dark);
    draw_key_body(p, RIGHT_KEY, 20, light, dark);
    draw_key_body(p, CENTRE_KEY, 21, QColor(215, 215, 215), QColor(125, 125, 128));

    p.setPen(QColor(240, 240, 240));
    p.setFont(face_font(12, QFont::Bold, 0));
    p.drawText(QRectF(LEFT_KEY.x() - 15, LEFT_KEY.y() - 15, 30, 14), Qt::AlignCenter,
               QStringLiteral("F1"));
    draw_triangle(p, LEFT_KEY + QPointF(0, 2), 6, 8);
    p.setPen(QColor(240, 240, 240));
    p.drawText(QRectF(RIGHT_KEY.x() - 15, RIGHT_KEY.y() - 15, 30, 14), Qt::AlignCenter,
               QStringLiteral("F2"));
    draw_triangle(p, RIGHT_KEY + QPointF(0, 10), 6, -8);
}

// At `scale` times the window's size, for screens with more pixels: the same
// drawing, scaled before it is drawn, so it stays sharp.
QImage draw_bezel(int scale) {
    QImage image(SIZE * scale, SIZE * scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw_panel_and_rim(p);
    draw_lamp(p);
    draw_names(p);
    draw_lcd_window(p);
    draw_keys(p);
    return image;
}

// The face alone, cut round, on a transparent square.
QImage draw_icon(const QImage& bezel) {
    QImage icon(ICON_SIZE, ICON_SIZE, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath round;
    round.addEllipse(QRectF(0, 0, ICON_SIZE, ICON_SIZE));
    p.setClipPath(round);
    p.drawImage(QRectF(0, 0, ICON_SIZE, ICON_SIZE), bezel, QRectF(1, 1, SIZE - 2, SIZE - 2));
    return icon;
}

// The JPEG is made in memory and written whole, so a failed run leaves the
// old picture in place.
bool write_jpeg(const QImage& picture, const char* path, int quality) {
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &bytes, &size);
    info.image_width = static_cast<JDIMENSION>(picture.width());
    info.image_height = static_cast<JDIMENSION>(picture.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // Full-resolution colour keeps the red lamp and the thin lines crisp.
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string error;
    const bool written = write_file_atomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes), size), error);
    std::free(bytes);
    return written;
}

bool write_png(const QImage& picture, const char* path) {
    std::string error;
    return write_png_file(picture, path, error);
}

}  // namespace

// `bezel --scale N BEZEL.jpg` draws it N (2 to 4) times as large, for the
// web page on screens with more pixels.
int main(int argc, char** argv) {
    int scale = 1;
    if (argc >= 3 && std::string(argv[1]) == "--scale") {
        scale = std::atoi(argv[2]);
        argv += 2;
        argc -= 2;
    }
    if (argc < 2 || argc > 3 || scale < 1 || scale > 4 || (scale > 1 && argc > 2)) {
        std::fprintf(stderr,
                     "usage: bezel BEZEL.jpg [ICON.png]\n       bezel --scale 2|3|4 BEZEL.jpg\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QImage bezel = draw_bezel(scale);
    if (!write_jpeg(bezel, argv[1], scale > 1 ? LARGE_JPEG_QUALITY : JPEG_QUALITY)) {
        std::fprintf(stderr, "bezel: cannot write %s\n", argv[1]);
        return 1;
    }
    if (argc == 3 && !write_png(draw_icon(bezel), argv[2])) {
        std::fprintf(stderr, "bezel: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
