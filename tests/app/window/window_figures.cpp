// Figures of the running window, printed on stdout; run under a real X
// server (xvfb-run -a window_figures):
//   - time from the process's start to the window's first paint,
//   - CPU share over 10 s with the instrument off, and over 10 s with it on
//     (process CPU time / wall time, from /proc/self/stat),
//   - CPU share over 10 s with the LCD window open at 8x, and over 10 s
//     while also recording a GIF of a walk through the main menu (a knob
//     step every 500 ms), with the animation's size,
//   - peak resident memory (VmHWM).
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <ctime>

#include "app/runtime/instrument.h"
#include "app/window/form1.h"
#include "app/window/lcd_window.h"

namespace {

constexpr int MEASURE_MS = 10000;
constexpr int SPLASH_ALLOWANCE_MS = 2500;

QList<QByteArray> stat_fields() {
    QFile file(QStringLiteral("/proc/self/stat"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray line = file.readAll();
    // Fields after the command name, which is in parentheses and may hold
    // blanks; the first one listed here is field 3 (state).
    return line.mid(line.lastIndexOf(')') + 2).split(' ');
}

double cpu_seconds() {
    const QList<QByteArray> fields = stat_fields();
    if (fields.size() < 13) return 0;
    return (fields[11].toDouble() + fields[12].toDouble()) /
           static_cast<double>(sysconf(_SC_CLK_TCK));
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
    TForm1 form;
    FirstPaint first_paint;
    first_paint.since_main = &since_main;
    form.installEventFilter(&first_paint);
    form.centre_on_screen();
    form.show();

    Share off;
    Share on;
    Share pop_out;
    Share recording;
    double off_percent = 0;
    double on_percent = 0;
    double pop_out_percent = 0;
    double recording_percent = 0;
    qint64 gif_bytes = 0;
    const QString gif_path = QStringLiteral("/tmp/dg2_figures_%1.gif").arg(getpid());
    QTimer::singleShot(500, &form, [&] { off.start(); });
    QTimer::singleShot(500 + MEASURE_MS, &form, [&] {
        off_percent = off.percent();
        QTimer::singleShot(SPLASH_ALLOWANCE_MS, &form, [&] { on.start(); });
        QTimer::singleShot(SPLASH_ALLOWANCE_MS + MEASURE_MS, &form, [&] {
            on_percent = on.percent();
            form.open_lcd_window(8);
            QTimer::singleShot(500, &form, [&] { pop_out.start(); });
            QTimer::singleShot(500 + MEASURE_MS, &form, [&] {
                pop_out_percent = pop_out.percent();
                // Into the main menu, then the knob walks its entries.
                form.Image5Click();
                form.start_recording(gif_path);
                recording.start();
                for (int step = 1; step < 2 * MEASURE_MS / 1000; ++step)
                    QTimer::singleShot(step * 500, &form, [&form, step] {
                        (step / 8) % 2 == 0 ? form.Button3Click() : form.Button4Click();
                    });
                QTimer::singleShot(MEASURE_MS, &form, [&] {
                    recording_percent = recording.percent();
                    form.stop_recording();
                    gif_bytes = QFileInfo(gif_path).size();
                    QFile::remove(gif_path);
                    form.close();
                });
            });
        });
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    });
    const int status = QApplication::exec();
    std::printf("first paint: %.0f ms after the process started (%lld ms after main)\n",
                first_paint.from_start * 1000.0, static_cast<long long>(first_paint.from_main));
    std::printf("CPU share over %d s: off %.2f %%, on %.2f %% of one core\n", MEASURE_MS / 1000,
                off_percent, on_percent);
    std::printf("CPU share over %d s: LCD window at 8x %.2f %%, recording a GIF too %.2f %%\n",
                MEASURE_MS / 1000, pop_out_percent, recording_percent);
    std::printf("GIF of a %d s main-menu walk: %lld bytes\n", MEASURE_MS / 1000,
                static_cast<long long>(gif_bytes));
    std::printf("peak resident memory: %s\n", peak_resident().constData());
    return status;
}
