// The window under a real X server, used roughly: "ON", then 200 random
// clicks on every control ("ON" while on included, which nests a power-on),
// slider drags, check boxes, keys and wheel turns, then the window closed
// while the instrument runs. The program must end by itself, with status 0,
// within a second of the close.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <cstdio>
#include <random>

#include "app/window/controls.h"
#include "runtime/instrument.h"
#include "tests/window/test_form.h"

namespace {

constexpr int CLICKS = 200;
constexpr int CLICK_INTERVAL_MS = 15;

// Clicks that may start a nested loop are posted, so the timer driving the
// script is free to fire again from inside that loop.
void click_later(QWidget* control, QPoint at = QPoint()) {
    QTimer::singleShot(0, control, [control, at] {
        QTest::mouseClick(control, Qt::LeftButton, {}, at.isNull() ? control->rect().center() : at);
    });
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    TestForm form;
    form.centre_on_screen();
    form.show();

    std::mt19937 random(2);
    auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    int clicks = 0;
    int deepest = 0;
    QElapsedTimer since_close;

    QWidget* const buttons[] = {form.Image3,  form.Image5,    form.Image6,
                                form.Button3, form.Button4,   form.Button1,
                                form.Button2, form.CheckBox2, form.CheckBox3};
    QTimer script;
    script.setInterval(CLICK_INTERVAL_MS);
    QObject::connect(&script, &QTimer::timeout, &form, [&] {
        deepest = std::max(deepest, instrument_running_depth());
        if (clicks < CLICKS) {
            ++clicks;
            switch (pick(5)) {
                case 0:
                case 1: click_later(buttons[pick(static_cast<int>(std::size(buttons)))]); break;
                case 2: {
                    QSlider* slider = pick(2) == 0 ? form.TrackBar1 : form.TrackBar2;
                    if (pick(2) == 0)
                        slider->setValue(pick(4097));
                    else
                        click_later(slider, QPoint(pick(slider->width()), slider->height() / 2));
                    break;
                }
                case 3: {
                    const Qt::Key keys[] = {
                        Qt::Key_F1,    Qt::Key_F2,   Qt::Key_Up,    Qt::Key_Down,  Qt::Key_Left,
                        Qt::Key_Right, Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Space, Qt::Key_Return};
                    QWidget* focus = QApplication::focusWidget();
                    QTest::keyClick(focus != nullptr ? focus : &form,
                                    keys[pick(static_cast<int>(std::size(keys)))]);
                    break;
                }
                default: {
                    const QPointF at(pick(310), pick(310));
                    QWheelEvent wheel(at, form.mapToGlobal(at), QPoint(),
                                      QPoint(0, (pick(7) - 3) * 40), Qt::NoButton, Qt::NoModifier,
                                      Qt::NoScrollPhase, false);
                    QApplication::sendEvent(&form, &wheel);
                    break;
                }
            }
            return;
        }
        // Done clicking: make sure the instrument is on and past its splash,
        // then close the window under it.
        if (instrument_running_depth() == 0) {
            click_later(form.Button1);
            return;
        }
        if (!since_close.isValid()) {
            script.stop();
            QTimer::singleShot(2000, &form, [&] {
                std::printf("closing at depth %d\n", instrument_running_depth());
                since_close.start();
                form.close();
            });
        }
    });
    script.start();

    const int status = QApplication::exec();
    const qint64 close_to_exit = since_close.isValid() ? since_close.elapsed() : -1;
    std::printf("clicks %d, deepest nesting %d, close to exit %lld ms, status %d\n", clicks,
                deepest, static_cast<long long>(close_to_exit), status);
    if (close_to_exit < 0 || close_to_exit > 1000 || instrument_running_depth() != 0) return 1;
    return status;
}
