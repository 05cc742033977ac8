#include "app/window/lcd_window.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "app/window/colours.h"
#include "firmware/lcd/lcd.h"

namespace {

// The main window's colours: black on the classic grey.
constexpr u32 PLAIN_LIT = 0x000000;
// For a projector: a backlit LCD's light green on a dark face.
constexpr u32 PROJECTOR_LIT = 0xB8F0A0;
constexpr u32 PROJECTOR_UNLIT = 0x142018;
// The grid needs room between the lines to leave the pixels readable.
constexpr int GRID_MIN_ZOOM = 4;

QColor rgb(u32 colour) { return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | colour)); }

}  // namespace

int lcd_window_zoom(QSize size) {
    const int fits = std::min(size.width() / LCD_WIDTH, size.height() / LCD_HEIGHT);
    return std::clamp(fits, LCD_WINDOW_MIN_ZOOM, LCD_WINDOW_MAX_ZOOM);
}

LcdWindow::LcdWindow(QWidget* parent, std::function<bool(QKeyEvent*)> forward_key)
    : QWidget(parent, Qt::Window),
      picture_(LCD_WIDTH, LCD_HEIGHT, QImage::Format_Indexed8),
      forward_key_(std::move(forward_key)),
      menu_(new QMenu(this)) {
    setWindowTitle(QStringLiteral("DG-2 LCD"));
    setMinimumSize(LCD_WINDOW_MIN_ZOOM * LCD_WIDTH, LCD_WINDOW_MIN_ZOOM * LCD_HEIGHT);
    // Every pixel is painted, so Qt need not clear the window first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    picture_.fill(0);
    apply_colours();
}

u32 LcdWindow::lit_colour() const { return lit_scheme_ ? PROJECTOR_LIT : PLAIN_LIT; }

u32 LcdWindow::unlit_colour() const {
    return lit_scheme_ ? PROJECTOR_UNLIT : inactive_border_colour() & 0xFFFFFFu;
}

void LcdWindow::apply_colours() {
    picture_.setColorTable({rgb(unlit_colour()).rgb(), rgb(lit_colour()).rgb()});
    update();
}

void LcdWindow::set_grid(bool on) {
    grid_ = on;
    update();
}

void LcdWindow::set_lit_scheme(bool on) {
    lit_scheme_ = on;
    apply_colours();
}

// Only the rectangle that changed is repainted: at 8x the whole LCD is
// nearly half a million screen pixels, and most changes are a line of text.
void LcdWindow::set_picture(const std::vector<u8>& lit) {
    if (lit.size() != static_cast<size_t>(LCD_WIDTH) * LCD_HEIGHT) return;
    int left = LCD_WIDTH, top = LCD_HEIGHT, right = -1, bottom = -1;
    for (int y = 0; y < LCD_HEIGHT; ++y) {
        uchar* row = picture_.scanLine(y);
        for (int x = 0; x < LCD_WIDTH; ++x) {
            const uchar value = lit[static_cast<size_t>(y) * LCD_WIDTH + x] != 0 ? 1 : 0;
            if (row[x] == value) continue;
            row[x] = value;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return;
    const int z = zoom();
    const QPoint origin = lcd_rect().topLeft();
    // One screen pixel more on each side keeps the grid lines at the edges.
    update(QRect(origin.x() + left * z - 1, origin.y() + top * z - 1, (right - left + 1) * z + 2,
                 (bottom - top + 1) * z + 2));
}

QRect LcdWindow::lcd_rect() const {
    const int z = zoom();
    return QRect((width() - z * LCD_WIDTH) / 2, (height() - z * LCD_HEIGHT) / 2, z * LCD_WIDTH,
                 z * LCD_HEIGHT);
}

void LcdWindow::paintEvent(QPaintEvent* event) {
    ++paints_;
    const int z = zoom();
    const QRect lcd = lcd_rect();
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QColor unlit = rgb(unlit_colour());
    // The unlit colour around the LCD, in the four strips it leaves.
    painter.fillRect(QRect(0, 0, width(), lcd.top()), unlit);
    painter.fillRect(QRect(0, lcd.bottom() + 1, width(), height() - lcd.bottom() - 1), unlit);
    painter.fillRect(QRect(0, lcd.top(), lcd.left(), lcd.height()), unlit);
    painter.fillRect(QRect(lcd.right() + 1, lcd.top(), width() - lcd.right() - 1, lcd.height()),
                     unlit);
    // The LCD pixels under the area to paint, each drawn as a z x z square.
    const QRect area = event->rect().intersected(lcd).translated(-lcd.topLeft());
    if (area.isEmpty()) return;
    const QRect source(area.left() / z, area.top() / z, area.right() / z - area.left() / z + 1,
                       area.bottom() / z - area.top() / z + 1);
    painter.drawImage(QRect(lcd.topLeft() + source.topLeft() * z, source.size() * z), picture_,
                      source);
    if (grid_ && z >= GRID_MIN_ZOOM) {
        // A faint line: the lit colour at a low opacity over either colour.
        QColor line = rgb(lit_colour());
        line.setAlpha(40);
        painter.setPen(QPen(line, 1));
        for (int x = source.left(); x <= source.right() + 1; ++x)
            painter.drawLine(lcd.left() + x * z, lcd.top(), lcd.left() + x * z, lcd.bottom());
        for (int y = source.top(); y <= source.bottom() + 1; ++y)
            painter.drawLine(lcd.left(), lcd.top() + y * z, lcd.right(), lcd.top() + y * z);
    }
}

void LcdWindow::keyPressEvent(QKeyEvent* event) {
    if (!forward_key_ || !forward_key_(event)) QWidget::keyPressEvent(event);
}

void LcdWindow::contextMenuEvent(QContextMenuEvent* event) {
    menu_->popup(event->globalPos());
    event->accept();
}
