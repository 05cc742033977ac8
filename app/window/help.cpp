// Help inside the window: a tooltip on every control, "Keys and shortcuts"
// (the table of keyboard and mouse inputs) and "About".
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>

#include "app/window/controls.h"
#include "app/window/form1.h"
#include "runtime/instrument.h"

namespace {

struct Input {
    const char* keys;
    const char* what;
};

// Everything the keyboard and the mouse do, in the order a user meets it.
// The instrument's own keys (F1, F2, the arrows, Return, Enter, Space, + and
// -) are never used for the window's functions.
const Input INPUTS[] = {
    {"F1, Up arrow, click", "left key \"F1\""},
    {"F2, Down arrow, click", "right key \"F2\""},
    {"Return, Enter, Space, click", "centre key"},
    {"Right arrow, +, wheel up over the bezel", "knob one step clockwise (\"Clockwise\")"},
    {"Left arrow, -, wheel down over the bezel", "knob one step anticlockwise (\"AntiClockwise\")"},
    {"Tab to a slider, then arrows",
     "move the slider (framed while it has the keys); Escape, or "
     "a click on the bezel, gives the arrows back"},
    {"Right click on the bezel or the LCD", "the menu of the window's functions"},
    {"Ctrl+C", "copy the LCD picture (228 x 128) to the clipboard"},
    {"Ctrl+Shift+S", "save the LCD picture as PNG (in the LCD window: at its zoom)"},
    {"Ctrl+R", "record an LCD animation (GIF); again to stop"},
    {"Ctrl+L", "LCD window: the LCD alone, zoomed 2x to 12x"},
    {"Ctrl+W", "close the LCD window (from within it)"},
    {"Ctrl+K, Ctrl+/", "this table"},
    {"Ctrl+S, Ctrl+O", "save or load the settings"},
    {"Ctrl+P", "pause or resume the instrument (passes and tick)"},
    {"Ctrl+.", "single pass while paused"},
    {"Ctrl+T", "single tick while paused"},
    {"Ctrl+1, Ctrl+2, Ctrl+3, Ctrl+4, Ctrl+5, Ctrl+6",
     "speed 1/4x, 1/2x, 1x, 2x, 4x, 10x (passes and tick together)"},
};

QMessageBox* message_box(QWidget* parent, const QString& title, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Close, parent);
    box->setTextFormat(Qt::RichText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // The instrument keeps running behind it.
    box->setWindowModality(Qt::NonModal);
    box->show();
    return box;
}

}  // namespace

QString TForm1::slider_tooltip_base(int channel) {
    return QStringLiteral(
               "Channel %1 sensor input: the sender's signal in the converter's raw counts "
               "(0..4096)")
        .arg(channel + 1);
}

void TForm1::set_tooltips() {
    Button1->setToolTip(QStringLiteral("Power on: the splash, then the instrument runs"));
    Button2->setToolTip(
        QStringLiteral("Power off at the end of the pass; the LCD keeps its last picture"));
    // The sliders' tooltips (slider_tooltip_base and the reading) are kept
    // up to date by refresh_slider_tooltips.
    Label13->setToolTip(QStringLiteral("Channel 1 slider position"));
    Label14->setToolTip(QStringLiteral("Channel 2 slider position"));
    CheckBox2->setToolTip(QStringLiteral(
        "Calibrate: the main menu also shows the service entries (ADC VALUES, CALIBRATE)"));
    CheckBox3->setToolTip(QStringLiteral("KeyFast: numeric settings step by 10"));
    Image1->setToolTip(QStringLiteral(
        "The LCD, 114 x 64 pixels shown at 2x. Right click for pictures, animations and the LCD "
        "window"));
    Shape1->setToolTip(QStringLiteral(
        "Alarm lamp: flashes red while an alarm is unacknowledged, maroon otherwise"));
}

void TForm1::add_help_entries() {
    ContextMenu->addSeparator();
    auto* keys = ContextMenu->addAction(QStringLiteral("Keys and shortcuts"));
    keys->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_K), QKeySequence(Qt::CTRL | Qt::Key_Slash)});
    connect(keys, &QAction::triggered, this, [this] { show_keys_and_shortcuts(); });
    addAction(keys);
    auto* about = ContextMenu->addAction(QStringLiteral("About"));
    connect(about, &QAction::triggered, this, [this] { show_about(); });
}

QString TForm1::keys_and_shortcuts_text() {
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\">");
    for (const Input& input : INPUTS)
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                    .arg(QString::fromUtf8(input.keys).toHtmlEscaped(),
                         QString::fromUtf8(input.what).toHtmlEscaped());
    return html + QStringLiteral("</table>");
}

// Asked for again, the open table comes to the front instead of a second one.
void TForm1::show_keys_and_shortcuts() {
    if (keys_box_ == nullptr)
        keys_box_ =
            message_box(this, QStringLiteral("Keys and shortcuts"), keys_and_shortcuts_text());
    keys_box_->raise();
    keys_box_->activateWindow();
}

QString TForm1::about_text() {
    return QStringLiteral(
               "<p><b>DG-2 simulator</b> %1</p>"
               "<p>Firmware version %2</p>"
               "<p>The README (use, shortcuts, scenarios, building) is README.md in the "
               "simulator's source folder:<br>%3</p>")
        .arg(QStringLiteral(DG2_VERSION), QString::fromLatin1(FIRMWARE_VERSION),
             QStringLiteral(DG2_README).toHtmlEscaped());
}

void TForm1::show_about() { message_box(this, QStringLiteral("About"), about_text()); }
