// The keyboard and the mouse wheel as a second way to the front panel, the
// tooltips that tell of them, and copying the LCD picture.
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>

#include "app/window/controls.h"
#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "tests/window/test_form.h"

Q_DECLARE_METATYPE(KeyCode)

class Form1InputTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        form = new TestForm;
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
    }
    void cleanupTestCase() { delete form; }
    void init() {
        pending_key = KeyNone;
        form->setFocus();
    }

    void keys_press_the_panel_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<KeyCode>("expected");
        const int none = Qt::NoModifier;
        QTest::newRow("F1") << int(Qt::Key_F1) << none << KeyLeft;
        QTest::newRow("Up") << int(Qt::Key_Up) << none << KeyLeft;
        QTest::newRow("F2") << int(Qt::Key_F2) << none << KeyRight;
        QTest::newRow("Down") << int(Qt::Key_Down) << none << KeyRight;
        QTest::newRow("Return") << int(Qt::Key_Return) << none << KeyCentre;
        QTest::newRow("Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << KeyCentre;
        QTest::newRow("Space") << int(Qt::Key_Space) << none << KeyCentre;
        QTest::newRow("Right") << int(Qt::Key_Right) << none << KeyClockwise;
        QTest::newRow("+") << int(Qt::Key_Plus) << int(Qt::ShiftModifier) << KeyClockwise;
        QTest::newRow("keypad +") << int(Qt::Key_Plus) << int(Qt::KeypadModifier) << KeyClockwise;
        QTest::newRow("Left") << int(Qt::Key_Left) << none << KeyAnticlockwise;
        QTest::newRow("-") << int(Qt::Key_Minus) << none << KeyAnticlockwise;
        // Combinations belong to the desktop, not to the instrument.
        QTest::newRow("Ctrl+Up") << int(Qt::Key_Up) << int(Qt::ControlModifier) << KeyNone;
        QTest::newRow("Alt+F1") << int(Qt::Key_F1) << int(Qt::AltModifier) << KeyNone;
        QTest::newRow("letter") << int(Qt::Key_A) << none << KeyNone;
    }

    // Whichever control has the keyboard, short of a slider, the key reaches
    // the instrument.
    void keys_press_the_panel() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(KeyCode, expected);
        for (QWidget* target : {static_cast<QWidget*>(form), static_cast<QWidget*>(form->Button1),
                                static_cast<QWidget*>(form->Image5)}) {
            pending_key = KeyNone;
            target->setFocus();
            QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key),
                            Qt::KeyboardModifiers(modifiers));
            QCOMPARE(pending_key, expected);
        }
    }

    void a_key_finds_an_event_waiting_and_is_dropped() {
        QTest::keyClick(form, Qt::Key_F1);
        QTest::keyClick(form, Qt::Key_F2);
        QTest::keyClick(form, Qt::Key_Right);
        QCOMPARE(pending_key, KeyLeft);
        QCOMPARE(instrument_running_depth(), 0);
    }

    void focused_slider_keeps_its_keys() {
        form->TrackBar1->setValue(100);
        form->TrackBar1->setFocus();
        QCOMPARE(QApplication::focusWidget(), form->TrackBar1);
        QTest::keyClick(form->TrackBar1, Qt::Key_Right);
        QCOMPARE(form->TrackBar1->value(), 101);
        QTest::keyClick(form->TrackBar1, Qt::Key_Up);
        QCOMPARE(form->TrackBar1->value(), 102);
        QTest::keyClick(form->TrackBar1, Qt::Key_Left);
        QTest::keyClick(form->TrackBar1, Qt::Key_Down);
        QCOMPARE(form->TrackBar1->value(), 100);
        QCOMPARE(form->Label13->text(), QStringLiteral("100"));
        QCOMPARE(pending_key, KeyNone);
        // Keys a slider has no use for still work the instrument.
        QTest::keyClick(form->TrackBar1, Qt::Key_F2);
        QCOMPARE(pending_key, KeyRight);
        // A click on a key area takes the keyboard back for the instrument.
        QTest::mouseClick(form->Image3, Qt::LeftButton);
        QCOMPARE(pending_key, KeyRight);
        pending_key = KeyNone;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
        QCOMPARE(pending_key, KeyAnticlockwise);
        QCOMPARE(form->TrackBar1->value(), 100);
        form->TrackBar1->setValue(0);
        pending_key = KeyNone;
        form->TrackBar2->setFocus();
        QTest::keyClick(form->TrackBar2, Qt::Key_Up);
        QCOMPARE(form->TrackBar2->value(), 1);
        QCOMPARE(pending_key, KeyNone);
        form->TrackBar2->setValue(0);
    }

    // A click moves a slider without taking the keyboard; Tab gives it the
    // arrows, and shows it by a frame; Escape gives them back.
    void slider_takes_the_arrows_only_by_tab() {
        form->TrackBar1->setValue(0);
        QTest::mouseClick(form->TrackBar1, Qt::LeftButton, {}, QPoint(150, 20));
        QVERIFY(form->TrackBar1->value() > 0);
        const int clicked_to = form->TrackBar1->value();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form,
                        Qt::Key_Up);
        QCOMPARE(pending_key, KeyLeft);
        QCOMPARE(form->TrackBar1->value(), clicked_to);
        form->TrackBar1->setValue(0);
        const QImage plain = form->TrackBar1->grab().toImage();

        pending_key = KeyNone;
        form->setFocus();
        while (QApplication::focusWidget() != form->TrackBar1)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(form->TrackBar1->grab().toImage() != plain);
        QTest::keyClick(form->TrackBar1, Qt::Key_Right);
        QCOMPARE(form->TrackBar1->value(), 1);
        QCOMPARE(pending_key, KeyNone);
        QTest::keyClick(form->TrackBar1, Qt::Key_Escape);
        QVERIFY(QApplication::focusWidget() != form->TrackBar1);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form,
                        Qt::Key_Right);
        QCOMPARE(pending_key, KeyClockwise);
        QCOMPARE(form->TrackBar1->value(), 1);
        form->TrackBar1->setValue(0);
        QCOMPARE(form->TrackBar1->grab().toImage(), plain);
        // Escape with no slider holding the arrows is no key of the
        // instrument's; from the second slider it gives them back too.
        pending_key = KeyNone;
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form,
                        Qt::Key_Escape);
        QCOMPARE(pending_key, KeyNone);
        while (QApplication::focusWidget() != form->TrackBar2)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(form->TrackBar2, Qt::Key_Escape);
        QVERIFY(QApplication::focusWidget() != form->TrackBar2);
    }

    void key_areas_and_knob_buttons_click() {
        const struct {
            QWidget* control;
            KeyCode expected;
        } table[] = {
            {form->Image3, KeyLeft},           {form->Image5, KeyCentre},
            {form->Image6, KeyRight},          {form->Button3, KeyClockwise},
            {form->Button4, KeyAnticlockwise},
        };
        for (const auto& row : table) {
            pending_key = KeyNone;
            QTest::mouseClick(row.control, Qt::LeftButton);
            QCOMPARE(pending_key, row.expected);
        }
        // Pressed on a key but released beside it: no click.
        pending_key = KeyNone;
        QTest::mousePress(form->Image5, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(form->Image5, Qt::LeftButton, {}, QPoint(60, 10));
        QCOMPARE(pending_key, KeyNone);
        // The right button clicks nothing.
        QTest::mouseClick(form->Image5, Qt::RightButton);
        QCOMPARE(pending_key, KeyNone);
    }

    void wheel_turns_the_knob_data() {
        QTest::addColumn<QList<int>>("deltas");
        QTest::addColumn<QPoint>("where");
        QTest::addColumn<KeyCode>("expected");
        const QPoint bezel(155, 60);
        QTest::newRow("notch up") << QList<int>{120} << bezel << KeyClockwise;
        QTest::newRow("notch down") << QList<int>{-120} << bezel << KeyAnticlockwise;
        QTest::newRow("touchpad thirds") << QList<int>{40, 40, 40} << bezel << KeyClockwise;
        QTest::newRow("short of a notch") << QList<int>{40, 40} << bezel << KeyNone;
        QTest::newRow("back and forth")
            << QList<int>{100, -100, -100, -20} << bezel << KeyAnticlockwise;
        QTest::newRow("over the LCD") << QList<int>{120} << QPoint(150, 150) << KeyClockwise;
        QTest::newRow("beside the bezel") << QList<int>{120} << QPoint(400, 200) << KeyNone;
    }

    void wheel_turns_the_knob() {
        QFETCH(QList<int>, deltas);
        QFETCH(QPoint, where);
        QFETCH(KeyCode, expected);
        for (int delta : deltas) {
            pending_key = KeyNone;
            send_wheel(where, delta);
        }
        QCOMPARE(pending_key, expected);
        // Leave no fraction behind for the next row.
        int rest = 0;
        for (int delta : deltas)
            rest += delta;
        if (where.x() < 310 && rest % 120 != 0) send_wheel(where, -(rest % 120));
    }

    void tooltips_name_key_and_shortcut() {
        const struct {
            QWidget* control;
            const char* words[2];
        } table[] = {
            {form->Image3, {"F1", "Up"}},
            {form->Image5, {"Centre", "Space"}},
            {form->Image6, {"F2", "Down"}},
            {form->Button3, {"clockwise", "Right"}},
            {form->Button4, {"anticlockwise", "Left"}},
        };
        for (const auto& row : table)
            for (const char* word : row.words)
                QVERIFY2(row.control->toolTip().contains(QLatin1String(word)),
                         qPrintable(row.control->toolTip()));
    }

    void ctrl_c_copies_the_lcd_picture() {
        lcd_attach_canvas(form->lcd_canvas());
        lcd_clear();
        lcd_pixel(0, 0, DrawMode::Set);
        lcd_pixel(113, 63, DrawMode::Set);
        lcd_show();
        QApplication::clipboard()->clear();
        QTest::keyClick(form, Qt::Key_C, Qt::ControlModifier);
        const QImage copied = QApplication::clipboard()->image();
        QCOMPARE(copied.size(), QSize(228, 128));
        QCOMPARE(copied.pixel(1, 1), qRgb(0, 0, 0));
        QCOMPARE(copied.pixel(227, 127), qRgb(0, 0, 0));
        QCOMPARE(copied.pixel(2, 0), qRgb(212, 208, 200));
        QCOMPARE(pending_key, KeyNone);
        lcd_attach_canvas(nullptr);
    }

private:
    void send_wheel(QPoint where, int delta) {
        QWidget* target = form->childAt(where);
        if (target == nullptr) target = form;
        const QPointF local = target->mapFrom(form, QPointF(where));
        QWheelEvent event(local, form->mapToGlobal(QPointF(where)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }

    TestForm* form = nullptr;
};

QTEST_MAIN(Form1InputTest)
#include "form1_input_test.moc"
