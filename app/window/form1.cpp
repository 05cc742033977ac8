#include "app/window/form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QWheelEvent>
#include <cstdio>

#include "app/window/bezel.h"
#include "app/window/colours.h"
#include "app/window/controls.h"
#include "app/window/lcd_window.h"
#include "app/window/player.h"
#include "app/window/status_bar.h"
#include "firmware/core/run_state.h"
#include "runtime/instrument.h"
#include "workbench/controls/key_bindings.h"
#include "workbench/pictures/gif_recorder.h"
#include "workbench/sensors/sensor_log.h"

TForm1* Form1 = nullptr;

namespace {

// The layout was made for a small dialog font: "Channel 1:" must end before
// the slider's echo 56 pixels further right. The desktop's font is shrunk
// until it does, from the size of a classic 8-point dialog font down.
constexpr int LARGEST_FONT_PIXELS = 11;
constexpr int SMALLEST_FONT_PIXELS = 8;
constexpr int CHANNEL_LABEL_ROOM = 54;
// One notch of a mouse wheel; touchpads report fractions of it.
constexpr int WHEEL_NOTCH = 120;

QFont fitting_font(QFont font) {
    const QString caption = QString::fromLatin1(control("channel1_label").caption);
    for (int pixels = LARGEST_FONT_PIXELS; pixels > SMALLEST_FONT_PIXELS; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).horizontalAdvance(caption) <= CHANNEL_LABEL_ROOM) return font;
    }
    font.setPixelSize(SMALLEST_FONT_PIXELS);
    return font;
}

// Every control takes its name, place and size from the table.
template <typename Widget>
Widget* placed(Widget* widget, const Control& c) {
    widget->setObjectName(QString::fromLatin1(c.name));
    if (c.kind == ControlKind::Label) {
        widget->move(c.left, c.top);
        widget->adjustSize();
    } else {
        widget->setGeometry(c.left, c.top, c.width, c.height);
    }
    return widget;
}

QLabel* make_label(QWidget* parent, const Control& c) {
    return placed(new QLabel(QString::fromLatin1(c.caption), parent), c);
}

QPushButton* make_button(QWidget* parent, const Control& c) {
    return placed(new QPushButton(QString::fromLatin1(c.caption), parent), c);
}

QSlider* make_slider(QWidget* parent, const Control& c) {
    auto* slider = placed(new SensorSlider(parent), c);
    slider->setRange(0, static_cast<int>(c.maximum));
    slider->setTickPosition(QSlider::NoTicks);
    slider->setValue(static_cast<int>(c.initial));
    return slider;
}

QCheckBox* make_check_box(QWidget* parent, const Control& c) {
    auto* box = placed(new QCheckBox(QString::fromLatin1(c.caption), parent), c);
    box->setChecked(c.initial != 0);
    return box;
}

QColor from_colour_word(u32 colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
    Form1 = this;
    setWindowTitle(QStringLiteral("Corvanta Meridial DG-2"));
    setWindowIcon(program_icon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(CLIENT_WIDTH, CLIENT_HEIGHT);
    setFont(fitting_font(font()));

    QString bezel_error;
    const QImage bezel = bezel_picture(BEZEL_JPEG, BEZEL_JPEG_SIZE, &bezel_error);
    if (!bezel_error.isEmpty())
        std::fprintf(stderr,
                     "dg2: the bezel picture cannot be decoded (%s); showing a plain face\n",
                     qPrintable(bezel_error));
    Image2 = placed(new QLabel(this), control("bezel"));
    Image2->setScaledContents(true);
    Image2->setPixmap(QPixmap::fromImage(bezel));

    Shape1 = placed(new CircleShape(this), control("alarm_lamp"));
    Shape1->set_brush_colour(from_colour_word(control("alarm_lamp").initial));

    Panel1 = placed(new QFrame(this), control("lcd_frame"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    QPalette panel_palette = Panel1->palette();
    panel_palette.setColor(QPalette::Window, QColor::fromRgb(scroll_bar_colour()));
    Panel1->setPalette(panel_palette);
    Panel1->setAutoFillBackground(true);

    constexpr Control lcd = control("lcd");
    Image1 = placed(new LcdPicture(Panel1, lcd.width, lcd.height, inactive_border_colour), lcd);

    Image3 = placed(new ClickArea(this, [this] { Image3Click(); }), control("left_key"));
    Image5 = placed(new ClickArea(this, [this] { Image5Click(); }), control("centre_key"));
    Image6 = placed(new ClickArea(this, [this] { Image6Click(); }), control("right_key"));

    Button3 = make_button(this, control("clockwise_button"));
    Button4 = make_button(this, control("anticlockwise_button"));
    Button1 = make_button(this, control("on_button"));
    Button2 = make_button(this, control("off_button"));

    Label1 = make_label(this, control("channel1_label"));
    Label13 = make_label(this, control("channel1_echo"));
    // The positions are set before the handlers are connected: the labels
    // read "0" at start and the inputs stay untouched until a slider moves.
    TrackBar1 = make_slider(this, control("channel1_slider"));
    Label2 = make_label(this, control("channel2_label"));
    Label14 = make_label(this, control("channel2_echo"));
    TrackBar2 = make_slider(this, control("channel2_slider"));

    CheckBox2 = make_check_box(this, control("calibrate_box"));
    CheckBox3 = make_check_box(this, control("keyfast_box"));

    StatusBar1 = placed(new StatusBar(this), control("status_bar"));
    StatusBar1->setSizeGripEnabled(false);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(TrackBar1, &QSlider::valueChanged, this, [this] { TrackBar1Change(); });
    connect(TrackBar2, &QSlider::valueChanged, this, [this] { TrackBar2Change(); });

    for (const QKeySequence& keys : shortcuts("copy_picture")) {
        auto* copy = new QShortcut(keys, this);
        connect(copy, &QShortcut::activated, this, [this] { copy_lcd_picture(); });
    }

    // The instrument's keys and the wheel over the bezel come from anywhere in
    // the window: every control passes its key presses and wheel turns
    // through eventFilter first.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);

    Timer1 = new QTimer(this);
    Timer1->setInterval(TICK_MS);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();

    pace_ = new QTimer(this);
    pace_->setTimerType(Qt::PreciseTimer);
    pace_->setInterval(PASS_PERIOD_MS);
    connect(pace_, &QTimer::timeout, this, [this] {
        pass_due_ = true;
        if (!ticks_wanted() || --periods_to_tick_ > 0) return;
        periods_to_tick_ = TICK_MS / PASS_PERIOD_MS;
        Timer1Timer();
    });

    shown_picture_ = lcd_picture_serial();

    build_context_menu();
    set_tooltips();
}

TForm1::~TForm1() {
    // The firmware keeps a pointer to the LCD picture's memory.
    lcd_attach_canvas(nullptr);
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::centre_on_screen() {
    const QScreen* target = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (target == nullptr) return;
    move(target->availableGeometry().center() - rect().center());
}

void TForm1::Button1Click() {
    // An "ON" past the deepest nesting does nothing, and is not recorded.
    if (instrument_running_depth() < MAX_POWER_ON_DEPTH) recorder.power_on();
    const bool ran = power_on_and_run(*this);
    show_power_state();
    if (!ran) {
        StatusBar1->showMessage(
            QStringLiteral("\"ON\" ignored: the instrument is already powered on %1 deep")
                .arg(MAX_POWER_ON_DEPTH),
            5000);
        return;
    }
    // The pace runs only while the instrument does: off, the window sleeps
    // between ticks.
    if (instrument_running_depth() == 0) {
        pace_->stop();
        place_ticks();
    }
}

void TForm1::Button2Click() {
    recorder.power_off();
    request_power_off();
}
void TForm1::Button3Click() { key_event(KeyClockwise); }
void TForm1::Button4Click() { key_event(KeyAnticlockwise); }
void TForm1::Image3Click() { key_event(KeyLeft); }
void TForm1::Image5Click() { key_event(KeyCentre); }
void TForm1::Image6Click() { key_event(KeyRight); }

// A key ends the wait for the next pass (wait_for_next_pass looks at
// pending_key after every event), so the instrument takes it at once instead
// of up to a pass period later.
void TForm1::key_event(KeyCode key) {
    recorder.key(key);
    press_key(key);
}

void TForm1::TrackBar1Change() {
    const int position = TrackBar1->value();
    recorder.slider(0, static_cast<u32>(position));
    set_input(0, static_cast<u32>(position));
    Label13->setText(QString::number(position));
    Label13->adjustSize();
}

void TForm1::TrackBar2Change() {
    const int position = TrackBar2->value();
    recorder.slider(1, static_cast<u32>(position));
    set_input(1, static_cast<u32>(position));
    Label14->setText(QString::number(position));
    Label14->adjustSize();
}

void TForm1::Timer1Timer() {
    if (sensor_log_) sensor_log_step();
    recorder.tick();
    tick();
}

void TForm1::set_slider_position(u8 channel, u32 position) {
    (channel == 0 ? TrackBar1 : TrackBar2)->setValue(static_cast<int>(position));
}

u32 TForm1::slider_position(u8 channel) const {
    return static_cast<u32>((channel == 0 ? TrackBar1 : TrackBar2)->value());
}

void TForm1::set_calibrate(bool ticked) { CheckBox2->setChecked(ticked); }
void TForm1::set_keyfast(bool ticked) { CheckBox3->setChecked(ticked); }

u32 TForm1::lamp_colour() const {
    const QColor colour = Shape1->brush_colour();
    return static_cast<u32>(colour.red()) | static_cast<u32>(colour.green()) << 8 |
           static_cast<u32>(colour.blue()) << 16;
}

void TForm1::show_status(const QString& text, int milliseconds) {
    StatusBar1->showMessage(text, milliseconds);
}

void TForm1::set_power_on_settings(const InstrumentSettings& loaded) { power_on_settings = loaded; }

bool TForm1::ticks_wanted() const {
    return !paused_ && (player_ == nullptr || player_->finished());
}

void TForm1::place_ticks() {
    if (ticks_wanted() && !pace_->isActive()) {
        if (!Timer1->isActive()) Timer1->start();
    } else {
        Timer1->stop();
    }
}

void TForm1::copy_lcd_picture() {
    QGuiApplication::clipboard()->setImage(Image1->lcd_area());
    StatusBar1->showMessage(QStringLiteral("LCD picture copied to the clipboard (228 x 128)"),
                            10000);
}

// The LCD window and a recording take each changed picture too.
void TForm1::lcd_picture_changed() {
    Image1->update();
    lcd_picture_shown();
}

// lcd_show writes into the picture's memory between events, never while Qt
// paints it; the picture is repainted when, and only when, it changed.
void TForm1::refresh_lcd() {
    const u32 serial = lcd_picture_serial();
    if (serial == shown_picture_) return;
    shown_picture_ = serial;
    lcd_picture_changed();
}

// Everything pending is handled at once; then the window sleeps in Qt's event
// wait, handling events as they come, until the next pass is due. A click
// thus takes effect on the next pass and the instrument runs at a steady pace.
void TForm1::process_messages() {
    if (player_ != nullptr) player_->message_point();
    refresh_lcd();
    show_power_state();
    wait_for_next_pass();
    // A closed window stays closed: "OFF" again after every pass, whatever
    // a nested "ON" did meanwhile.
    if (closed_ && instrument_running_depth() > 0) request_power_off();
}

// Qt's event wait handles whatever is pending first, so one call both takes
// this pass's events and sleeps until the next one is due; a pass that need
// not wait still handles everything pending before it goes on.
void TForm1::wait_for_next_pass() {
    if (!pace_->isActive()) {
        pace_->start();
        pass_due_ = false;
        place_ticks();
    }
    // A pass that took a key drew the screen before acting on it; the next
    // pass, run at once, shows what the key did. Splash frames keep their
    // pace whatever key waits.
    const bool after_pass = pass_ended_;
    pass_ended_ = false;
    bool handled = false;
    for (;;) {
        bool go_on = false;
        // "OFF" or closing: the loop ends (or the splash runs out) at once.
        if (closed_ || power_off_requested != 0) {
            go_on = true;
        } else if (paused_) {
            if (single_passes_ > 0) {
                --single_passes_;
                go_on = true;
            }
        } else if (after_pass && (last_pass_took_key() || pending_key != KeyNone)) {
            go_on = true;
        } else if (pass_due_) {
            pass_due_ = false;
            go_on = true;
        }
        if (go_on) {
            if (!handled) QCoreApplication::processEvents(QEventLoop::AllEvents);
            return;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        handled = true;
    }
}

bool TForm1::calibrate_checked() { return CheckBox2->isChecked(); }
bool TForm1::keyfast_checked() { return CheckBox3->isChecked(); }

void TForm1::set_lamp_colour(u32 colour) { Shape1->set_brush_colour(from_colour_word(colour)); }

// Qt paints only while the window handles events, never in the middle of
// lcd_show, so the picture need not be hidden while its pixels change.
void TForm1::hide_lcd_picture() {}

void TForm1::show_lcd_picture() {
    pass_ended_ = true;
    refresh_lcd();
}

const LcdCanvas* TForm1::lcd_canvas() { return Image1->canvas(); }

// What the sliders show is what the instrument reads from its first pass on;
// the echoes show the same.
void TForm1::power_on_inputs() {
    set_input(0, static_cast<u32>(TrackBar1->value()));
    set_input(1, static_cast<u32>(TrackBar2->value()));
    Label13->setText(QString::number(TrackBar1->value()));
    Label13->adjustSize();
    Label14->setText(QString::number(TrackBar2->value()));
    Label14->adjustSize();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) return handle_key(static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::Wheel && watched->isWidgetType()) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const QPointF at = static_cast<QWidget*>(watched)->mapTo(this, wheel->position());
        return handle_wheel(at, wheel->angleDelta().y());
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    if (!handle_key(event)) QWidget::keyPressEvent(event);
}

// The keyboard stands in for the front panel, as the key table binds it.
// Each key gives exactly the event of the control it names, so the
// one-pending-event rule holds for it too. A slider given the keys by Tab
// keeps the ones it moves by until Escape.
bool TForm1::handle_key(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    // Escape hands the arrow keys back to the instrument.
    if (event->key() == Qt::Key_Escape && (TrackBar1->hasFocus() || TrackBar2->hasFocus())) {
        QApplication::focusWidget()->clearFocus();
        return true;
    }
    const std::string key =
        QKeySequence(event->key()).toString(QKeySequence::PortableText).toStdString();
    const KeyBinding* binding = binding_of_key(key, IN_WINDOW);
    const Control* worked = binding != nullptr ? find_control(binding->control) : nullptr;
    if (worked == nullptr || worked->key == KeyNone) return false;
    const QWidget* focus = QApplication::focusWidget();
    if ((focus == TrackBar1 || focus == TrackBar2) && slider_keeps(key)) return false;
    key_event(worked->key);
    return true;
}

// Turning the wheel over the bezel turns the knob, one step per notch, up
// being clockwise. Touchpads send fractions of a notch, which add up.
void TForm1::wheelEvent(QWheelEvent* event) {
    if (!handle_wheel(event->position(), event->angleDelta().y())) event->ignore();
}

bool TForm1::handle_wheel(QPointF at, int delta) {
    if (!QRectF(0, 0, BEZEL_SIZE, BEZEL_SIZE).contains(at)) return false;
    wheel_remainder_ += delta;
    while (wheel_remainder_ >= WHEEL_NOTCH) {
        wheel_remainder_ -= WHEEL_NOTCH;
        Button3Click();
    }
    while (wheel_remainder_ <= -WHEEL_NOTCH) {
        wheel_remainder_ += WHEEL_NOTCH;
        Button4Click();
    }
    return true;
}

// Closing while the instrument runs is "OFF" followed by closing: the loops
// end, and with them the handler that runs them.
void TForm1::closeEvent(QCloseEvent* event) {
    closed_ = true;
    pace_->stop();
    place_ticks();
    // A recording in progress is kept, not lost with the window.
    stop_recording();
    if (lcd_window_ != nullptr) lcd_window_->close();
    if (instrument_running_depth() > 0) request_power_off();
    event->accept();
}
