// The simulator's main window: the hardware around the instrument. Sliders
// are the two sensor inputs, areas over the bezel picture are the keys, two
// buttons turn the knob, a circle is the alarm lamp and a picture shows the
// LCD. "ON" runs the instrument's power-on and main loop inside its click
// handler; the loop hands control back to Qt once per pass through
// process_messages.
#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include "app/runtime/host.h"
#include "firmware/core/keys.h"

class QCheckBox;
class QEventLoop;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QSlider;
class QStatusBar;
class QTimer;
class CircleShape;
class ClickArea;
class LcdPicture;

class TForm1 : public QWidget, public Host {
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

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

    // Event handlers.
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

    // Host.
    void process_messages() override;
    bool calibrate_checked() override;
    bool keyfast_checked() override;
    void set_lamp_colour(u32 colour) override;
    void hide_lcd_picture() override;
    void show_lcd_picture() override;
    const LcdCanvas* lcd_canvas() override;

    // Centres the window on the screen it is about to appear on.
    void centre_on_screen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool handle_key(QKeyEvent* event);
    bool handle_wheel(QPointF at, int delta);  // at: in the window's coordinates
    void begin_pass() { pass_clock_.start(); }
    void key_event(KeyCode key);
    void build_context_menu();
    void add_settings_actions();
    void save_settings_dialog();
    void load_settings_dialog();
    void channel_value_dialog(u8 channel);

    QElapsedTimer pass_clock_;  // started when a pass or splash frame begins
    bool closed_ = false;
    QEventLoop* waiting_ = nullptr;  // the wait for the next pass, while one runs
    int wheel_remainder_ = 0;        // high-resolution wheel units short of a notch
};

// The one window of the program.
extern TForm1* Form1;
