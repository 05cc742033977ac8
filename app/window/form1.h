// The simulator's main window: the hardware around the instrument. Sliders
// are the two sensor inputs, areas over the bezel picture are the keys, two
// buttons turn the knob, a circle is the alarm lamp and a picture shows the
// LCD. "ON" runs the instrument's power-on and main loop inside its click
// handler; the loop hands control back to Qt once per pass through
// process_messages.
#pragma once

#include <QElapsedTimer>
#include <QKeySequence>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include <optional>

#include "firmware/core/keys.h"
#include "firmware/core/settings.h"
#include "runtime/host.h"
#include "workbench/session/recorder.h"

class GifRecorder;
class LcdWindow;
class QAction;
class QActionGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QMessageBox;
class QPushButton;
class QSlider;
class QStatusBar;
class QTimer;
class SensorLogPlayer;
class CircleShape;
class ClickArea;
class LcdPicture;
class WindowPlayer;

class TForm1 : public QWidget, public Host {
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Event handlers: what the user's controls call, and what a played
    // script calls in their place.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Image3Click();
    void Image5Click();
    void Image6Click();
    void TrackBar1Change();
    void TrackBar2Change();
    void Timer1Timer();

    // The controls as code outside the window sees them. A slider moved to
    // another position calls its change handler, as a drag does; channel is
    // 0 or 1.
    void set_slider_position(u8 channel, u32 position);
    u32 slider_position(u8 channel) const;
    void set_calibrate(bool ticked);
    void set_keyfast(bool ticked);
    // The alarm lamp's colour as the instrument set it: 0x00BBGGRR.
    u32 lamp_colour() const;
    // A message in the status bar, for `milliseconds` or until the next one.
    void show_status(const QString& text, int milliseconds = 0);
    // The LCD's pixels as shown (LCD_WIDTH * LCD_HEIGHT, 1 = lit).
    std::vector<u8> lcd_pixels() const;
    // The settings every later power-on ends with (a script's
    // power-on-settings).
    void set_power_on_settings(const InstrumentSettings& loaded);
    // The tick runs unless paused or given by a playing script. Off, Timer1
    // gives it; on, every fifth period of the passes' pace does, so the
    // window wakes 50 times a second instead of 60. Called whenever one of
    // those changes.
    void place_ticks();

    // The program's session (main.cpp, app/window/session.cpp).
    // Centres the window on the screen it is about to appear on.
    void centre_on_screen();
    // 0.25, 0.5, 1, 2, 4 or 10; false (and no change) for any other factor.
    bool set_speed(double factor);
    // Opens (or raises) the LCD window at `zoom` x (2..12); 0 keeps the size
    // of an open one and opens a new one at 4x.
    void open_lcd_window(int zoom);
    LcdWindow* lcd_window() const { return lcd_window_; }
    // Before the window is shown: takes over the recording and sets up the
    // player.
    void start_session(struct SessionPlan& plan);
    // Once shown: powers on (--on) and starts playing (--play).
    void begin_session();
    // After the window has closed and the instrument has stopped: ends the
    // recording with the last frame. Returns the program's exit status.
    int finish_session(int status);

protected:
    // Everything below is the window's own: what the instrument asks of it
    // (Host, called by the runtime), its controls and the workbench's
    // functions behind its context menu. The window's tests reach them
    // through a subclass of their own.

    // Host.
    void process_messages() override;
    bool calibrate_checked() override;
    bool keyfast_checked() override;
    void set_lamp_colour(u32 colour) override;
    void hide_lcd_picture() override;
    void show_lcd_picture() override;
    const LcdCanvas* lcd_canvas() override;
    void power_on_inputs() override;
    void before_first_pass() override;

    // The controls, under the names the instrument's window has always used.
    QLabel* Image2;  // the bezel
    CircleShape* Shape1;
    QFrame* Panel1;
    LcdPicture* Image1;
    ClickArea* Image3;  // left key, "F1"
    ClickArea* Image5;  // centre key
    ClickArea* Image6;  // right key, "F2"
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button1;
    QPushButton* Button2;
    QLabel* Label1;
    QLabel* Label13;
    QSlider* TrackBar1;
    QLabel* Label2;
    QLabel* Label14;
    QSlider* TrackBar2;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox3;
    QStatusBar* StatusBar1;
    QTimer* Timer1;
    // Right click on the bezel or the LCD: the workbench's functions, which
    // have no place of their own in the instrument's layout.
    QMenu* ContextMenu;

    // Ctrl+C: the LCD picture, 228 x 128 as shown, to the clipboard.
    void copy_lcd_picture();

    // Settings files and setting a sensor by value (settings_actions.cpp).
    // Each returns false with the reason in `error`; the dialogs around them
    // show it.
    bool save_settings_to(const QString& path, QString& error);
    bool load_settings_from(const QString& path, QString& error);
    bool set_channel_value(u8 channel, double number, QString& error);
    void set_sender_fault(u8 channel, bool open);
    // Each slider's tooltip: what its channel shows at its position.
    void refresh_slider_tooltips();

    // Called once for every new LCD picture, whether a pass or a splash frame
    // drew it: the one place that knows the picture changed. Everything that
    // shows the LCD repaints from here; an unchanged picture repaints nothing.
    void lcd_picture_changed();

    // Time (time_control.cpp). Pause stops the passes and the tick; clicks
    // still set the one pending key, taken when the instrument runs again.
    // Single pass runs one pass (or splash frame) while paused, single tick
    // one tick. The speed scales the pass period and the tick together.
    void set_paused(bool paused);
    bool paused() const { return paused_; }
    void single_pass();
    void single_tick();
    double speed() const { return speed_; }
    // What the status bar shows of it: "1x", "4x", "Paused (1/4x)".
    QString time_state_text() const;
    // The instrument's state beside it: "Off", "On", "On (2 deep)" for a
    // nested "ON", "Paused" while on and paused.
    QString power_state_text() const;

    // Pictures (pictures.cpp).
    // Every shown picture comes here (after each pass and splash frame); a
    // changed one goes to the LCD window and the recording.
    void lcd_picture_shown();
    // PNG of the LCD at `zoom` screen pixels per LCD pixel (2 = as the
    // window shows it), in the LCD window's colours when asked; the status
    // bar says what happened.
    bool save_lcd_picture(const QString& path, int zoom, bool pop_out_colours = false);
    void save_lcd_picture_dialog(bool from_lcd_window);
    // GIF of the LCD from now until stopped, with the real delays; `scale`
    // enlarges the picture as shown (228 x 128) 1..8 times, `zoom` is screen
    // pixels per LCD pixel.
    bool start_recording(const QString& path, int scale = 1);
    bool start_recording_at_zoom(const QString& path, int zoom);
    bool stop_recording();
    bool recording() const;
    // "Record LCD animation..." / "Stop recording"; from the LCD window at
    // its zoom. A failure is shown in a message box.
    void toggle_recording(bool from_lcd_window);

    // Sensor logs (sensor_log_actions.cpp): a log plays a step before every
    // tick the window gives. A log that cannot be read or has a bad line is
    // refused whole (false, the reason in `error`); one found bad as it
    // plays stops with a message box.
    bool play_sensor_log(const QString& path, QString& error);
    void stop_sensor_log();
    bool sensor_log_playing() const;

    // Help (help.cpp). A slider's tooltip says what it stands for; a reading
    // in the channel's unit may be added to it.
    static QString slider_tooltip_base(int channel);
    static QString keys_and_shortcuts_text();
    static QString about_text();
    void show_keys_and_shortcuts();
    void show_about();

    // The session the command line asks for (app/window/session.cpp): the
    // handlers report every event to the recorder, which writes nothing
    // unless started; every power-on ends with power_on_settings if set.
    SessionRecorder recorder;
    std::optional<InstrumentSettings> power_on_settings;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool handle_key(QKeyEvent* event);
    bool handle_wheel(QPointF at, int delta);  // at: in the window's coordinates
    void key_event(KeyCode key);
    void build_context_menu();
    void add_settings_actions();
    void save_settings_dialog();
    void load_settings_dialog();
    void channel_value_dialog(u8 channel);
    void build_time_menu();
    void refresh_lcd();
    void wait_for_next_pass();
    bool ticks_wanted() const;
    void apply_speed();
    void show_time_state();
    void show_power_state();  // cheap when nothing changed
    void add_picture_entries();
    void add_help_entries();
    void set_tooltips();
    void end_recording_display();
    void add_sensor_log_entries();
    void play_sensor_log_dialog();
    void sensor_log_step();

    bool closed_ = false;
    WindowPlayer* player_ = nullptr;  // --play; a child of the window
    bool power_on_when_shown_ = false;
    int wheel_remainder_ = 0;  // high-resolution wheel units short of a notch
    // The pace of the passes: a precise timer that runs while the instrument
    // is on; each period it marks the next pass as due.
    QTimer* pace_ = nullptr;
    bool pass_due_ = false;
    int periods_to_tick_ = TICK_MS / PASS_PERIOD_MS;  // while the pace gives the tick
    bool pass_ended_ = false;  // a pass (not a splash frame) ended since the last wait
    u32 shown_picture_ = 0;    // lcd_picture_serial() of the picture on screen
    bool paused_ = false;
    int single_passes_ = 0;  // passes allowed to run while paused
    double speed_ = 1.0;
    QLabel* time_state_ = nullptr;   // permanent, at the right of the status bar
    QLabel* power_state_ = nullptr;  // permanent, left of time_state_
    QAction* pause_action_ = nullptr;
    QAction* single_pass_action_ = nullptr;
    QAction* single_tick_action_ = nullptr;
    QActionGroup* speed_group_ = nullptr;

    LcdWindow* lcd_window_ = nullptr;
    std::unique_ptr<GifRecorder> gif_recorder_;
    QElapsedTimer recording_clock_;
    QString recording_path_;
    QLabel* recording_label_ = nullptr;
    QAction* record_action_ = nullptr;
    QAction* lcd_record_action_ = nullptr;  // the same, in the LCD window
    std::vector<u8> shown_lit_;             // the picture last handed on
    QPointer<QMessageBox> keys_box_;        // "Keys and shortcuts" while open

    std::unique_ptr<SensorLogPlayer> sensor_log_;
    QLabel* sensor_log_label_ = nullptr;  // "warm_up.csv 12.4 / 600.0 s"
    QAction* play_log_action_ = nullptr;
    QAction* stop_log_action_ = nullptr;
    QString log_at_power_on_;  // --log, played from the next power-on
};

// Whether set_speed takes this factor.
bool speed_supported(double factor);

// The keys the key table binds to one of the window's functions, by its
// action name ("pause").
QList<QKeySequence> shortcuts(const char* action);

// The one window of the program.
extern TForm1* Form1;
