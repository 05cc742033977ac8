// Time on the workbench: pause, single pass, single tick and the speed. The
// instrument's own pace is untouched; the window only decides when the next
// pass may run and how often the tick comes. The headless runner counts passes
// and ticks and has no use for any of this.
#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>
#include <cmath>

#include "app/window/form1.h"
#include "app/window/player.h"
#include "runtime/instrument.h"

namespace {

struct Speed {
    double factor;
    const char* name;
};

// Every speed divides the 20 ms pass period and the 100 ms tick into whole
// milliseconds, so both keep their ratio exactly. The key table's "speed"
// binding has a key for each, in this order.
constexpr Speed SPEEDS[] = {
    {0.25, "1/4x"}, {0.5, "1/2x"}, {1, "1x"}, {2, "2x"}, {4, "4x"}, {10, "10x"},
};

const Speed* find_speed(double factor) {
    for (const Speed& speed : SPEEDS)
        if (std::fabs(speed.factor - factor) < 1e-9) return &speed;
    return nullptr;
}

}  // namespace

bool speed_supported(double factor) { return find_speed(factor) != nullptr; }

// The actions belong to the window as well as to the menu, so their
// shortcuts work with the menu closed.
void TForm1::build_time_menu() {
    ContextMenu->addSeparator();
    QMenu* time = ContextMenu->addMenu(QStringLiteral("Time"));
    pause_action_ =
        time->addAction(QStringLiteral("Pause"), this, [this] { set_paused(!paused_); });
    pause_action_->setShortcuts(shortcuts("pause"));
    single_pass_action_ =
        time->addAction(QStringLiteral("Single pass"), this, [this] { single_pass(); });
    single_pass_action_->setShortcuts(shortcuts("single_pass"));
    single_tick_action_ =
        time->addAction(QStringLiteral("Single tick"), this, [this] { single_tick(); });
    single_tick_action_->setShortcuts(shortcuts("single_tick"));
    time->addSeparator();
    speed_group_ = new QActionGroup(this);
    const QList<QKeySequence> keys = shortcuts("speed");
    for (const Speed& speed : SPEEDS) {
        QAction* action = time->addAction(QString::fromLatin1(speed.name), this,
                                          [this, factor = speed.factor] { set_speed(factor); });
        const auto index = static_cast<qsizetype>(&speed - SPEEDS);
        if (index < keys.size()) action->setShortcut(keys[index]);
        action->setCheckable(true);
        action->setData(speed.factor);
        speed_group_->addAction(action);
    }
    addActions(time->actions());

    power_state_ = new QLabel(StatusBar1);
    power_state_->setToolTip(
        QStringLiteral("The instrument: off, on (how deep \"ON\" is nested) "
                       "or paused"));
    StatusBar1->addPermanentWidget(power_state_);
    time_state_ = new QLabel(StatusBar1);
    time_state_->setToolTip(QStringLiteral("The simulator's clock: its speed, or paused"));
    StatusBar1->addPermanentWidget(time_state_);
    show_time_state();
    show_power_state();
}

void TForm1::set_paused(bool paused) {
    if (paused == paused_) return;
    paused_ = paused;
    single_passes_ = 0;
    place_ticks();
    show_time_state();
    show_power_state();
}

// One pass (or splash frame) while paused; nothing while off, so no pass is
// saved up for the next power-on.
void TForm1::single_pass() {
    if (paused_ && instrument_running_depth() > 0) ++single_passes_;
}

// Through the tick's own handler, as the timer would.
void TForm1::single_tick() {
    if (paused_) Timer1Timer();
}

bool TForm1::set_speed(double factor) {
    if (find_speed(factor) == nullptr) return false;
    speed_ = factor;
    apply_speed();
    show_time_state();
    return true;
}

void TForm1::apply_speed() {
    Timer1->setInterval(static_cast<int>(std::lround(TICK_MS / speed_)));
    pace_->setInterval(static_cast<int>(std::lround(PASS_PERIOD_MS / speed_)));
}

QString TForm1::time_state_text() const {
    const Speed* speed = find_speed(speed_);
    const QString name = QString::fromLatin1(speed != nullptr ? speed->name : "1x");
    return paused_ ? QStringLiteral("Paused (%1)").arg(name) : name;
}

QString TForm1::power_state_text() const {
    const int depth = instrument_running_depth();
    if (depth == 0) return QStringLiteral("Off");
    if (paused_) return QStringLiteral("Paused");
    return depth == 1 ? QStringLiteral("On") : QStringLiteral("On (%1 deep)").arg(depth);
}

void TForm1::show_power_state() {
    if (power_state_ == nullptr) return;
    const QString text = power_state_text();
    if (power_state_->text() != text) power_state_->setText(text);
}

void TForm1::show_time_state() {
    if (time_state_ == nullptr) return;
    time_state_->setText(time_state_text());
    pause_action_->setText(paused_ ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    single_pass_action_->setEnabled(paused_);
    single_tick_action_->setEnabled(paused_);
    for (QAction* action : speed_group_->actions())
        action->setChecked(std::fabs(action->data().toDouble() - speed_) < 1e-9);
}
