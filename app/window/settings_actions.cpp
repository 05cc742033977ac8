// The window's part of settings files and of setting a sensor by value: the
// context-menu entries, their shortcuts and dialogs, and the sliders'
// tooltips.
//
// Loading applies to the running instrument between two passes, as if the
// settings had been set up through its menus. While the instrument is off,
// loading is refused: "ON" starts from the factory settings, so settings put
// in place beforehand would be gone at the next power-on anyway. Saving works
// on or off (off, it saves what the last session left), but not before the
// first "ON", when the record holds no settings yet.
#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QMenu>
#include <QSlider>
#include <QStatusBar>
#include <functional>
#include <utility>

#include "app/window/form1.h"
#include "app/window/value_dialog.h"
#include "app/window/window_dialogs.h"
#include "firmware/core/settings.h"
#include "runtime/instrument.h"
#include "workbench/sensors/sensor_value.h"
#include "workbench/settings/settings_file.h"

namespace {

constexpr int STATUS_MS = 10000;
const char* const FILE_FILTER = "DG-2 settings (*.toml);;All files (*)";

// A slider's tooltip is worked out when it is about to show, so it follows
// settings changed in the instrument's menus as well as the slider.
class TooltipRefresh : public QObject {
public:
    TooltipRefresh(QObject* parent, std::function<void()> refresh)
        : QObject(parent), refresh_(std::move(refresh)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ToolTip) refresh_();
        return false;
    }

private:
    std::function<void()> refresh_;
};

QString channel_name(u8 channel) { return QStringLiteral("Channel %1").arg(channel + 1); }

}  // namespace

void TForm1::add_settings_actions() {
    if (!ContextMenu->actions().isEmpty()) ContextMenu->addSeparator();
    auto add = [this](const QString& text, const QList<QKeySequence>& keys, auto handler) {
        QAction* action = ContextMenu->addAction(text);
        if (!keys.isEmpty()) {
            action->setShortcuts(keys);
            addAction(action);  // the shortcut works without the menu open
        }
        connect(action, &QAction::triggered, this, handler);
    };
    add(QStringLiteral("Save settings..."), shortcuts("save_settings"),
        [this] { save_settings_dialog(); });
    add(QStringLiteral("Load settings..."), shortcuts("load_settings"),
        [this] { load_settings_dialog(); });
    ContextMenu->addSeparator();
    for (u8 c = 0; c < 2; ++c) {
        add(channel_name(c) + QStringLiteral(" value..."), {},
            [this, c] { channel_value_dialog(c); });
        add(channel_name(c) + QStringLiteral(" sender open"), {},
            [this, c] { set_sender_fault(c, true); });
        add(channel_name(c) + QStringLiteral(" sender short"), {},
            [this, c] { set_sender_fault(c, false); });
    }

    // Not on every move: a dragged slider would work out both texts sixty
    // times a second for a tooltip nobody sees.
    auto* refresh = new TooltipRefresh(this, [this] { refresh_slider_tooltips(); });
    for (QSlider* slider : {TrackBar1, TrackBar2})
        slider->installEventFilter(refresh);
    refresh_slider_tooltips();
}

// The slider's position in the channel's unit, then what it stands for.
void TForm1::refresh_slider_tooltips() {
    TrackBar1->setToolTip(QString::fromStdString(slider_tooltip(0, TrackBar1->value())) +
                          QLatin1Char('\n') + slider_tooltip_base(0));
    TrackBar2->setToolTip(QString::fromStdString(slider_tooltip(1, TrackBar2->value())) +
                          QLatin1Char('\n') + slider_tooltip_base(1));
}

bool TForm1::save_settings_to(const QString& path, QString& error) {
    std::string why;
    if (!save_settings_file(path.toStdString(), settings, why)) {
        error = QString::fromStdString(why);
        return false;
    }
    StatusBar1->showMessage(QStringLiteral("Settings saved to %1").arg(path), STATUS_MS);
    return true;
}

bool TForm1::load_settings_from(const QString& path, QString& error) {
    if (instrument_running_depth() == 0) {
        error = QStringLiteral(
            "The instrument is off: switch it on first (\"ON\" starts from the "
            "factory settings).");
        return false;
    }
    InstrumentSettings loaded;
    std::string why;
    if (!load_settings_file(path.toStdString(), loaded, why)) {
        error = QString::fromStdString(why);
        return false;
    }
    // Between two passes: the next one measures and draws with them.
    apply_settings(loaded);
    recorder.settings_loaded(loaded);
    refresh_slider_tooltips();
    StatusBar1->showMessage(
        QStringLiteral("Settings loaded from %1: in force from the next pass").arg(path),
        STATUS_MS);
    return true;
}

void TForm1::save_settings_dialog() {
    // Before the first "ON" the record is all zero: nothing the instrument
    // could have been set up to.
    InstrumentSettings check;
    std::string why;
    if (!settings_from_toml(settings_to_toml(settings), "", check, why)) {
        show_failure(this, QStringLiteral("Save settings"),
                     QStringLiteral("No settings to save yet: switch the instrument on first."));
        return;
    }
    ask_for_file(this, FileDialogKind::Save, QStringLiteral("Save settings"),
                 QStringLiteral("dg2-settings.toml"), QString::fromLatin1(FILE_FILTER),
                 [this](QString path) {
                     if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".toml");
                     QString error;
                     if (!save_settings_to(path, error))
                         show_failure(this, QStringLiteral("Save settings"), error);
                 });
}

// The settings stay as they were whatever went wrong: loading is all or
// nothing.
static QString settings_unchanged(const QString& error) {
    return error + QStringLiteral("\n\nThe instrument's settings are unchanged.");
}

void TForm1::load_settings_dialog() {
    if (instrument_running_depth() == 0) {
        show_failure(this, QStringLiteral("Load settings"),
                     settings_unchanged(QStringLiteral(
                         "The instrument is off: switch it on, then load settings.")));
        return;
    }
    ask_for_file(this, FileDialogKind::Open, QStringLiteral("Load settings"), QString(),
                 QString::fromLatin1(FILE_FILTER), [this](const QString& path) {
                     QString error;
                     if (!load_settings_from(path, error))
                         show_failure(this, QStringLiteral("Load settings"),
                                      settings_unchanged(error));
                 });
}

bool TForm1::set_channel_value(u8 channel, double number, QString& error) {
    u32 count = 0;
    std::string why;
    if (!count_for_value(channel, number, count, why)) {
        error = QString::fromStdString(why);
        return false;
    }
    // Through the slider, so its label and the instrument agree.
    (channel == 0 ? TrackBar1 : TrackBar2)->setValue(static_cast<int>(count));
    ValueRange range;
    channel_value_range(channel, range, why);
    const s32 shown = value_at_count(channel, count);
    StatusBar1->showMessage(
        QStringLiteral("%1 shows %2 at input %3")
            .arg(channel_name(channel), QString::fromStdString(value_text(range, shown)))
            .arg(count),
        STATUS_MS);
    return true;
}

void TForm1::channel_value_dialog(u8 channel) {
    ValueRange range;
    std::string why;
    if (!channel_value_range(channel, range, why)) {
        StatusBar1->showMessage(QString::fromStdString(why), STATUS_MS);
        return;
    }
    const u32 now = static_cast<u32>((channel == 0 ? TrackBar1 : TrackBar2)->value());
    auto* dialog = new ValueDialog(this, channel, now, [this, channel](double number) {
        QString error;
        // The channel may have changed while the dialog was open.
        if (!set_channel_value(channel, number, error))
            show_failure(this, channel_name(channel) + QStringLiteral(" value"), error);
    });
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void TForm1::set_sender_fault(u8 channel, bool open) {
    const u32 count = sender_fault_count(open ? SenderFault::Open : SenderFault::Short);
    (channel == 0 ? TrackBar1 : TrackBar2)->setValue(static_cast<int>(count));
    QString text =
        QStringLiteral("%1: sender %2 (input %3)")
            .arg(channel_name(channel), open ? QStringLiteral("open") : QStringLiteral("short"))
            .arg(count);
    if (open)
        text += sender_fault_reported(channel)
                    ? QStringLiteral(", shown as \"CHECK SENDER\"")
                    : QStringLiteral(", which this sender does not report");
    StatusBar1->showMessage(text, STATUS_MS);
}
