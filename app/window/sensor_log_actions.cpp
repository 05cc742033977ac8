// The window's part of sensor logs: the context-menu entries and their
// shortcut, the progress field in the status bar, and the sliders moved by
// the workbench's player. A step comes just before every tick the window
// gives, so the Time menu's pause and speeds apply to the log as they do to
// the instrument, and the sliders' labels and tooltips follow the values.
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QStatusBar>

#include "app/window/form1.h"
#include "app/window/window_dialogs.h"
#include "firmware/core/run_state.h"
#include "runtime/instrument.h"
#include "workbench/sensors/sensor_log.h"
#include "workbench/settings/settings_file.h"

namespace {

constexpr int STATUS_MS = 10000;
const char* const LOG_FILTER = "Sensor logs (*.csv);;All files (*)";
const QString PLAY_TITLE = QStringLiteral("Play sensor log");

QString seconds_text(double seconds) { return QString::number(seconds, 'f', 1); }

}  // namespace

void TForm1::add_sensor_log_entries() {
    ContextMenu->addSeparator();
    play_log_action_ = ContextMenu->addAction(QStringLiteral("Play sensor log..."));
    play_log_action_->setShortcuts(shortcuts("sensor_log"));
    addAction(play_log_action_);
    connect(play_log_action_, &QAction::triggered, this, [this] {
        if (sensor_log_playing())
            stop_sensor_log();
        else
            play_sensor_log_dialog();
    });
    stop_log_action_ = ContextMenu->addAction(QStringLiteral("Stop sensor log"), this,
                                              [this] { stop_sensor_log(); });
    stop_log_action_->setEnabled(false);
}

void TForm1::play_sensor_log_dialog() {
    ask_for_file(this, FileDialogKind::Open, PLAY_TITLE, QString(), QString::fromLatin1(LOG_FILTER),
                 [this](const QString& path) {
                     QString error;
                     if (!play_sensor_log(path, error)) show_failure(this, PLAY_TITLE, error);
                 });
}

// The whole file is read and checked first: a bad line is found before a
// single slider has moved.
bool TForm1::play_sensor_log(const QString& path, QString& error) {
    const std::string file = path.toStdString();
    const std::string name = QFileInfo(path).fileName().toStdString();
    std::unique_ptr<std::istream> in;
    std::string why;
    // Before the first "ON" the channels are set up as nothing at all.
    InstrumentSettings set_up;
    if (!settings_from_toml(settings_to_toml(settings), "", set_up, why)) {
        error = QStringLiteral(
            "Switch the instrument on first: a log's values are read in the "
            "channels' units as they are set up.");
        return false;
    }
    double seconds = 0.0;
    auto player = std::make_unique<SensorLogPlayer>();
    if (!open_sensor_log(file, in, why) || !check_sensor_log(*in, name, seconds, why) ||
        !open_sensor_log(file, in, why) || !player->start(std::move(in), name, seconds, why)) {
        error = QString::fromStdString(why) + QStringLiteral("\n\nNo value has been set.");
        return false;
    }
    stop_sensor_log();
    sensor_log_ = std::move(player);
    recorder.sensor_log(file);
    if (sensor_log_label_ == nullptr) {
        sensor_log_label_ = new QLabel(StatusBar1);
        sensor_log_label_->setToolTip(
            QStringLiteral("The sensor log playing: seconds played of "
                           "its length (Stop sensor log ends it)"));
        StatusBar1->addPermanentWidget(sensor_log_label_);
    }
    sensor_log_label_->show();
    stop_log_action_->setEnabled(true);
    // Its first row at once; the rest at the ticks.
    sensor_log_step();
    return true;
}

void TForm1::stop_sensor_log() {
    if (!sensor_log_) return;
    const QString name = QString::fromStdString(sensor_log_->name());
    const bool ended = sensor_log_->ended();
    sensor_log_.reset();
    if (sensor_log_label_ != nullptr) sensor_log_label_->hide();
    stop_log_action_->setEnabled(false);
    StatusBar1->showMessage(
        ended ? QStringLiteral("Played %1").arg(name) : QStringLiteral("Stopped %1").arg(name),
        STATUS_MS);
}

bool TForm1::sensor_log_playing() const { return sensor_log_ != nullptr; }

void TForm1::sensor_log_step() {
    SensorCounts counts;
    std::string error;
    if (!sensor_log_->step(counts, error)) {
        stop_sensor_log();
        show_failure(this, PLAY_TITLE,
                     QString::fromStdString(error) +
                         QStringLiteral("\n\nThe log stopped here; the values it set stay."));
        return;
    }
    for (u8 c = 0; c < 2; ++c) {
        if (!counts.set[c]) continue;
        QSlider* slider = c == 0 ? TrackBar1 : TrackBar2;
        const int position = static_cast<int>(counts.count[c]);
        // A slider left where it is sends no change; the instrument's input
        // is set anyway where it has forgotten it (at a power-on).
        if (slider->value() != position)
            slider->setValue(position);
        else if ((c == 0 ? input_a : input_b) != counts.count[c])
            c == 0 ? TrackBar1Change() : TrackBar2Change();
    }
    const QString progress =
        QStringLiteral("%1 %2 / %3 s")
            .arg(QString::fromStdString(sensor_log_->name()), seconds_text(sensor_log_->position()),
                 seconds_text(sensor_log_->length()));
    if (sensor_log_label_->text() != progress) sensor_log_label_->setText(progress);
    if (sensor_log_->ended()) stop_sensor_log();
}
