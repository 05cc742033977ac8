// The LCD as files and in a window of its own: "Save LCD picture..." (PNG),
// "Record LCD animation..." (GIF) and the pop-out. Every shown picture passes
// through lcd_picture_shown, which hands a changed one to the pop-out and the
// recording.
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <algorithm>

#include "app/window/colours.h"
#include "app/window/controls.h"
#include "app/window/form1.h"
#include "app/window/lcd_window.h"
#include "app/window/window_dialogs.h"
#include "firmware/lcd/lcd.h"
#include "workbench/pictures/gif_recorder.h"
#include "workbench/pictures/png_writer.h"

namespace {

constexpr int STATUS_MS = 10000;
// The main window shows each LCD pixel as a 2 x 2 block.
constexpr int WINDOW_ZOOM = 2;

QString with_suffix(QString path, const char* suffix) {
    if (QFileInfo(path).suffix().isEmpty()) path += QLatin1String(suffix);
    return path;
}

QString size_text(qint64 bytes) {
    return bytes < 10 * 1024 ? QStringLiteral("%1 bytes").arg(bytes)
                             : QStringLiteral("%1 KB").arg((bytes + 512) / 1024);
}

}  // namespace

void TForm1::add_picture_entries() {
    ContextMenu->addSeparator();
    auto* save = ContextMenu->addAction(QStringLiteral("Save LCD picture..."));
    save->setShortcuts(shortcuts("save_picture"));
    connect(save, &QAction::triggered, this, [this] { save_lcd_picture_dialog(false); });
    addAction(save);

    record_action_ = ContextMenu->addAction(QStringLiteral("Record LCD animation..."));
    record_action_->setShortcuts(shortcuts("record"));
    connect(record_action_, &QAction::triggered, this, [this] { toggle_recording(false); });
    addAction(record_action_);

    auto* pop_out = ContextMenu->addAction(QStringLiteral("LCD window"));
    pop_out->setShortcuts(shortcuts("lcd_window"));
    connect(pop_out, &QAction::triggered, this, [this] { open_lcd_window(0); });
    addAction(pop_out);
}

std::vector<u8> TForm1::lcd_pixels() const {
    std::vector<u8> lit(static_cast<size_t>(LCD_WIDTH) * LCD_HEIGHT, 0);
    if (!Image1->drawn()) return lit;
    const QImage& image = Image1->image();
    for (int y = 0; y < LCD_HEIGHT; ++y) {
        const auto* row = reinterpret_cast<const u32*>(image.constScanLine(WINDOW_ZOOM * y));
        for (int x = 0; x < LCD_WIDTH; ++x)
            lit[static_cast<size_t>(y) * LCD_WIDTH + x] = row[WINDOW_ZOOM * x] == LCD_BLACK;
    }
    return lit;
}

// Called after every pass and splash frame; cheap when nothing changed.
void TForm1::lcd_picture_shown() {
    if (!Image1->updatesEnabled()) return;  // half drawn
    // With neither taking pictures, none is read back from the LCD (a slider
    // dragged changes it every pass); each takes the picture afresh when it
    // starts.
    const bool pop_out = lcd_window_ != nullptr && lcd_window_->isVisible();
    if (!pop_out && !(gif_recorder_ && gif_recorder_->recording())) return;
    std::vector<u8> lit = lcd_pixels();
    if (lit == shown_lit_) return;
    shown_lit_ = std::move(lit);
    if (pop_out) lcd_window_->set_picture(shown_lit_);
    if (gif_recorder_ && gif_recorder_->recording() &&
        !gif_recorder_->picture(shown_lit_.data(), recording_clock_.elapsed())) {
        StatusBar1->showMessage(QStringLiteral("Recording failed: %1")
                                    .arg(QString::fromStdString(gif_recorder_->error())));
        end_recording_display();
        if (!closed_)
            show_failure(this, QStringLiteral("Record LCD animation"),
                         StatusBar1->currentMessage());
    }
}

bool TForm1::save_lcd_picture(const QString& path, int zoom, bool pop_out_colours) {
    TwoColourImage image;
    image.width = LCD_WIDTH;
    image.height = LCD_HEIGHT;
    image.lit = lcd_pixels();
    const bool popped = pop_out_colours && lcd_window_ != nullptr;
    image.background = popped ? lcd_window_->unlit_colour() : inactive_border_colour() & 0xFFFFFFu;
    image.foreground = popped ? lcd_window_->lit_colour() : LCD_BLACK & 0xFFFFFFu;
    // Before the instrument first draws, the frame's grey shows instead.
    if (!Image1->drawn() && !popped) image.background = scroll_bar_colour() & 0xFFFFFFu;
    std::string error;
    if (!write_png(path.toStdString(), enlarged(image, zoom), error)) {
        StatusBar1->showMessage(
            QStringLiteral("LCD picture not saved: %1").arg(QString::fromStdString(error)));
        return false;
    }
    StatusBar1->showMessage(QStringLiteral("LCD picture saved to %1 (%2 x %3)")
                                .arg(path)
                                .arg(zoom * LCD_WIDTH)
                                .arg(zoom * LCD_HEIGHT),
                            STATUS_MS);
    return true;
}

// A failure is told over the window the entry was chosen in.
void TForm1::save_lcd_picture_dialog(bool from_lcd_window) {
    QWidget* owner =
        from_lcd_window && lcd_window_ != nullptr ? static_cast<QWidget*>(lcd_window_) : this;
    ask_for_file(owner, FileDialogKind::Save, QStringLiteral("Save LCD picture"),
                 QStringLiteral("dg2-lcd.png"), QStringLiteral("PNG pictures (*.png)"),
                 [this, owner, from_lcd_window](const QString& path) {
                     // The zoom of the moment the picture is taken.
                     const bool popped = from_lcd_window && lcd_window_ != nullptr;
                     const int zoom = popped ? lcd_window_->zoom() : WINDOW_ZOOM;
                     if (!save_lcd_picture(with_suffix(path, ".png"), zoom, from_lcd_window))
                         show_failure(owner, QStringLiteral("Save LCD picture"),
                                      StatusBar1->currentMessage());
                 });
}

bool TForm1::recording() const { return gif_recorder_ && gif_recorder_->recording(); }

// From the LCD window, an animation is recorded at its zoom, as a picture
// saved from there is.
void TForm1::toggle_recording(bool from_lcd_window) {
    QWidget* owner =
        from_lcd_window && lcd_window_ != nullptr ? static_cast<QWidget*>(lcd_window_) : this;
    if (recording()) {
        if (!stop_recording())
            show_failure(owner, QStringLiteral("Record LCD animation"),
                         StatusBar1->currentMessage());
        return;
    }
    ask_for_file(owner, FileDialogKind::Save, QStringLiteral("Record LCD animation"),
                 QStringLiteral("dg2-lcd.gif"), QStringLiteral("GIF animations (*.gif)"),
                 [this, owner, from_lcd_window](const QString& path) {
                     const bool popped = from_lcd_window && lcd_window_ != nullptr;
                     const int zoom = popped ? lcd_window_->zoom() : WINDOW_ZOOM;
                     if (!start_recording_at_zoom(with_suffix(path, ".gif"), zoom))
                         show_failure(owner, QStringLiteral("Record LCD animation"),
                                      StatusBar1->currentMessage());
                 });
}

bool TForm1::start_recording(const QString& path, int scale) {
    return start_recording_at_zoom(path, WINDOW_ZOOM * std::clamp(scale, 1, 8));
}

bool TForm1::start_recording_at_zoom(const QString& path, int zoom) {
    if (recording()) stop_recording();
    if (!gif_recorder_) gif_recorder_ = std::make_unique<GifRecorder>();
    if (!gif_recorder_->start(path.toStdString(), LCD_WIDTH, LCD_HEIGHT, zoom,
                              inactive_border_colour() & 0xFFFFFFu, LCD_BLACK & 0xFFFFFFu)) {
        StatusBar1->showMessage(QStringLiteral("Recording not started: %1")
                                    .arg(QString::fromStdString(gif_recorder_->error())));
        return false;
    }
    recording_path_ = path;
    recording_clock_.start();
    shown_lit_ = lcd_pixels();
    gif_recorder_->picture(shown_lit_.data(), 0);
    if (recording_label_ == nullptr) {
        recording_label_ = new QLabel(StatusBar1);
        recording_label_->setToolTip(QStringLiteral("Ctrl+R stops the recording"));
        StatusBar1->addPermanentWidget(recording_label_);
    }
    recording_label_->setText(QStringLiteral("\u25CF Recording"));
    recording_label_->show();
    for (QAction* action : {record_action_, lcd_record_action_})
        if (action != nullptr) action->setText(QStringLiteral("Stop recording"));
    StatusBar1->showMessage(QStringLiteral("Recording the LCD to %1").arg(path), STATUS_MS);
    return true;
}

bool TForm1::stop_recording() {
    if (!recording()) return false;
    const qint64 elapsed = recording_clock_.elapsed();
    const bool stopped = gif_recorder_->stop(elapsed);
    end_recording_display();
    if (!stopped) {
        StatusBar1->showMessage(QStringLiteral("LCD animation not saved: %1")
                                    .arg(QString::fromStdString(gif_recorder_->error())));
        return false;
    }
    StatusBar1->showMessage(QStringLiteral("LCD animation saved to %1 (%2 frames, %3 s, %4)")
                                .arg(recording_path_)
                                .arg(gif_recorder_->frames_written())
                                .arg(static_cast<double>(elapsed) / 1000.0, 0, 'f', 1)
                                .arg(size_text(QFileInfo(recording_path_).size())),
                            STATUS_MS);
    return true;
}

void TForm1::end_recording_display() {
    if (recording_label_ != nullptr) recording_label_->hide();
    for (QAction* action : {record_action_, lcd_record_action_})
        if (action != nullptr) action->setText(QStringLiteral("Record LCD animation..."));
}

void TForm1::open_lcd_window(int zoom) {
    if (lcd_window_ == nullptr) {
        lcd_window_ = new LcdWindow(this, [this](QKeyEvent* event) { return handle_key(event); });
        QMenu* menu = lcd_window_->menu();
        auto* save = menu->addAction(QStringLiteral("Save LCD picture..."));
        save->setShortcuts(shortcuts("save_picture"));
        connect(save, &QAction::triggered, this, [this] { save_lcd_picture_dialog(true); });
        lcd_record_action_ = menu->addAction(record_action_->text());
        lcd_record_action_->setShortcut(record_action_->shortcut());
        connect(lcd_record_action_, &QAction::triggered, this, [this] { toggle_recording(true); });
        menu->addSeparator();
        auto* grid = menu->addAction(QStringLiteral("Pixel grid"));
        grid->setCheckable(true);
        connect(grid, &QAction::toggled, lcd_window_,
                [this](bool on) { lcd_window_->set_grid(on); });
        auto* scheme = menu->addAction(QStringLiteral("Lit LCD colours"));
        scheme->setCheckable(true);
        connect(scheme, &QAction::toggled, lcd_window_,
                [this](bool on) { lcd_window_->set_lit_scheme(on); });
        menu->addSeparator();
        auto* close = menu->addAction(QStringLiteral("Close"));
        close->setShortcuts(shortcuts("close_lcd_window"));
        connect(close, &QAction::triggered, lcd_window_, &QWidget::close);
        lcd_window_->addActions({save, lcd_record_action_, close});
    }
    if (zoom != 0 || !lcd_window_->isVisible()) {
        const int z = std::clamp(zoom == 0 ? 4 : zoom, LCD_WINDOW_MIN_ZOOM, LCD_WINDOW_MAX_ZOOM);
        lcd_window_->resize(z * LCD_WIDTH, z * LCD_HEIGHT);
    }
    shown_lit_ = lcd_pixels();
    lcd_window_->set_picture(shown_lit_);
    lcd_window_->show();
    lcd_window_->raise();
    lcd_window_->activateWindow();
}
