// Figures of the running window, printed on stdout; run under a real X
// server (xvfb-run -a window_figures):
//   - time from the process's start to the window's first paint,
//   - CPU share (process CPU time / wall time) over
//     10 s each: the instrument off; on, with an unchanging screen; on, with
//     channel 1's slider dragged continuously (its position changes 60 times a
//     second, as under a moving mouse); a sensor log playing at 1x (the
//     engine warm-up example: both sliders stepping at every tick); and, for
//     the floor beside them, a bare
//     Qt window of the same size with a precise 50 Hz timer and nothing else,
//   - CPU share over the same time with the LCD window open at 8x (the
//     screen unchanged), and while also recording a GIF of a walk through
//     the main menu (a knob step every 500 ms), with the animation's size,
//   - peak resident memory (VmHWM).
// An argument gives another measuring time in seconds.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/window/lcd_window.h"
#include "runtime/instrument.h"
#include "tests/window/test_form.h"

namespace {

int measure_ms = 10000;
constexpr int DRAG_STEP_MS = 16;
constexpr int SPLASH_ALLOWANCE_MS = 2500;

QList<QByteArray> stat_fields() {
    QFile file(QStringLiteral("/proc/self/stat"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray line = file.readAll();
    // Fields after the command name, which is in parentheses and may hold
    // blanks; the first one listed here is field 3 (state).
    return line.mid(line.lastIndexOf(')') + 2).split(' ');
}

// The process's CPU time in nanoseconds' resolution: the kernel's clock ticks
// (10 ms) would be too coarse for a share of a few tenths of a per cent.
double cpu_seconds() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) * 1e-9;
}

// Seconds since the process started, to the resolution of the kernel's clock
// ticks (10 ms).
double seconds_since_start() {
    const QList<QByteArray> fields = stat_fields();
    if (fields.size() < 20) return -1;
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double started = fields[19].toDouble() / static_cast<double>(sysconf(_SC_CLK_TCK));
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9 - started;
}

QByteArray peak_resident() {
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly)) return "?";
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed();
    return "?";
}

class FirstPaint : public QObject {
public:
    QElapsedTimer* since_main;
    double from_start = -1;
    qint64 from_main = -1;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && from_main < 0) {
            from_main = since_main->elapsed();
            from_start = seconds_since_start();
        }
        return false;
    }
};

struct Share {
    double cpu = 0;
    QElapsedTimer wall;
    void start() {
        cpu = cpu_seconds();
        wall.start();
    }
    double percent() const {
        return 100.0 * (cpu_seconds() - cpu) / (static_cast<double>(wall.elapsed()) / 1000.0);
    }
};

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer since_main;
    since_main.start();
    QApplication application(argc, argv);
    TestForm form;
    FirstPaint first_paint;
    first_paint.since_main = &since_main;
    form.installEventFilter(&first_paint);
    form.centre_on_screen();
    form.show();

    if (argc > 1) measure_ms = std::max(1, std::atoi(argv[1])) * 1000;
    Share off;
    Share on;
    Share drag;
    Share bare;
    Share log;
    double log_percent = 0;
    double off_percent = 0;
    double on_percent = 0;
    double drag_percent = 0;
    double bare_percent = 0;
    Share pop_out;
    Share recording;
    double pop_out_percent = 0;
    double recording_percent = 0;
    qint64 gif_bytes = 0;
    const QString gif_path = QStringLiteral("/tmp/dg2_figures_%1.gif").arg(getpid());
    // Waits for the instrument to stop after the window closed; started only
    // then, so its own wake-ups do not count in the figures before.
    QTimer watch_close;
    watch_close.setInterval(100);
    QTimer dragging;
    int drag_direction = 1;
    dragging.setInterval(DRAG_STEP_MS);
    QObject::connect(&dragging, &QTimer::timeout, &form, [&] {
        const int next = form.TrackBar1->value() + drag_direction * 37;
        if (next < 0 || next > form.TrackBar1->maximum()) drag_direction = -drag_direction;
        form.TrackBar1->setValue(next);
    });
    QTimer::singleShot(500, &form, [&] { off.start(); });
    QTimer::singleShot(500 + measure_ms, &form, [&] {
        off_percent = off.percent();
        QTimer::singleShot(SPLASH_ALLOWANCE_MS, &form, [&] { on.start(); });
        QTimer::singleShot(SPLASH_ALLOWANCE_MS + measure_ms, &form, [&] {
            on_percent = on.percent();
            dragging.start();
            drag.start();
        });
        QTimer::singleShot(SPLASH_ALLOWANCE_MS + 2 * measure_ms, &form, [&] {
            drag_percent = drag.percent();
            dragging.stop();
            QString error;
            if (!form.play_sensor_log(DG2_SOURCE_DIR "/examples/logs/warm_up.csv", error))
                std::fprintf(stderr, "%s\n", qPrintable(error));
            log.start();
        });
        QTimer::singleShot(SPLASH_ALLOWANCE_MS + 3 * measure_ms, &form, [&] {
            log_percent = log.percent();
            form.stop_sensor_log();
            // Back within its limits, so no alarm takes the centre key below.
            form.TrackBar1->setValue(300);
            form.TrackBar2->setValue(300);
            form.open_lcd_window(8);
            QTimer::singleShot(1000, &form, [&] { pop_out.start(); });
        });
        QTimer::singleShot(SPLASH_ALLOWANCE_MS + 4 * measure_ms + 1000, &form, [&] {
            pop_out_percent = pop_out.percent();
            // Into the main menu, then the knob walks its entries.
            form.Image5Click();
            form.start_recording(gif_path);
            recording.start();
            for (int step = 1; step < 2 * measure_ms / 1000; ++step)
                QTimer::singleShot(step * 500, &form, [&form, step] {
                    (step / 8) % 2 == 0 ? form.Button3Click() : form.Button4Click();
                });
        });
        QTimer::singleShot(SPLASH_ALLOWANCE_MS + 5 * measure_ms + 1000, &form, [&] {
            recording_percent = recording.percent();
            form.stop_recording();
            gif_bytes = QFileInfo(gif_path).size();
            QFile::remove(gif_path);
            form.close();
            watch_close.start();
        });
        // Both inputs within their limits: no alarm flashes the screen and
        // the lamp, so the screen really stays unchanged.
        form.TrackBar1->setValue(300);
        form.TrackBar2->setValue(300);
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    });
    QApplication::setQuitOnLastWindowClosed(false);
    // After the instrument has stopped and its window closed: a bare window,
    // the least any Qt program with a 50 Hz precise timer costs here.
    QWidget bare_window;
    QTimer bare_timer;
    bare_timer.setTimerType(Qt::PreciseTimer);
    bare_timer.setInterval(PASS_PERIOD_MS);
    int bare_ticks = 0;
    QObject::connect(&bare_timer, &QTimer::timeout, &bare_window, [&] { ++bare_ticks; });
    QObject::connect(&watch_close, &QTimer::timeout, [&] {
        if (form.isVisible() || instrument_running_depth() > 0) return;
        watch_close.stop();
        form.Timer1->stop();
        bare_window.setFixedSize(form.size());
        bare_window.show();
        bare_timer.start();
        QTimer::singleShot(500, &bare_window, [&] { bare.start(); });
        QTimer::singleShot(500 + measure_ms, &bare_window, [&] {
            bare_percent = bare.percent();
            QApplication::quit();
        });
    });
    const int status = QApplication::exec();
    std::printf("first paint: %.0f ms after the process started (%lld ms after main)\n",
                first_paint.from_start * 1000.0, static_cast<long long>(first_paint.from_main));
    std::printf("CPU share over %d s, %% of one core:\n", measure_ms / 1000);
    std::printf("  bare Qt window, 50 Hz precise timer: %.2f %% (%d ticks)\n", bare_percent,
                bare_ticks);
    std::printf("  instrument off:                      %.2f %%\n", off_percent);
    std::printf("  instrument on, unchanged screen:     %.2f %% (%.1f x the bare window)\n",
                on_percent, bare_percent > 0 ? on_percent / bare_percent : 0.0);
    std::printf("  instrument on, slider dragged:       %.2f %%\n", drag_percent);
    std::printf("  instrument on, sensor log at 1x:     %.2f %%\n", log_percent);
    std::printf("  LCD window open at 8x:               %.2f %%\n", pop_out_percent);
    std::printf("  the same, recording a menu walk:     %.2f %% (GIF of %lld bytes)\n",
                recording_percent, static_cast<long long>(gif_bytes));
    std::printf("peak resident memory: %s\n", peak_resident().constData());
    return status;
}
