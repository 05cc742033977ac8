// The window as a user first sees it: the controls where the instrument's
// window always had them, the LCD picture, the lamp and the bezel.
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <utility>

#include "app/window/bezel.h"
#include "app/window/colours.h"
#include "app/window/controls.h"
#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "tests/window/test_form.h"
#include "workbench/controls/controls.h"

class Form1LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void init() { form = new TestForm; }
    void cleanup() { delete form; }

    void window() {
        QCOMPARE(Form1, static_cast<TForm1*>(form));
        QCOMPARE(form->windowTitle(), QStringLiteral("Corvanta Meridial DG-2"));
        // The window carries the program's icon, the 256-pixel face.
        QCOMPARE(form->windowIcon().availableSizes(), QList<QSize>{QSize(256, 256)});
        QCOMPARE(form->size(), QSize(CLIENT_WIDTH, CLIENT_HEIGHT));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
    }

    // Every control of the table, under its name, in its place, with its
    // caption and its initial value.
    void controls_data() {
        QTest::addColumn<int>("index");
        for (const Control& c : CONTROLS)
            QTest::newRow(c.name) << static_cast<int>(&c - CONTROLS);
    }

    void controls() {
        QFETCH(int, index);
        const Control& c = CONTROLS[index];
        auto* widget = form->findChild<QWidget*>(QString::fromLatin1(c.name));
        QVERIFY(widget != nullptr);
        QCOMPARE(widget, member(c.name));
        const QWidget* parent = *c.parent != '\0' ? find(c.parent) : form;
        QCOMPARE(widget->parentWidget(), parent);
        const QString caption = QString::fromLatin1(c.caption);
        switch (c.kind) {
            case ControlKind::Label:
                // Labels sit at their left, top corners; their width follows
                // the text.
                QCOMPARE(widget->pos(), QPoint(c.left, c.top));
                QCOMPARE(static_cast<QLabel*>(widget)->text(), caption);
                return;
            case ControlKind::Button:
                QCOMPARE(static_cast<QPushButton*>(widget)->text(), caption);
                break;
            case ControlKind::CheckBox:
                QCOMPARE(static_cast<QCheckBox*>(widget)->text(), caption);
                QCOMPARE(static_cast<QCheckBox*>(widget)->isChecked(), c.initial != 0);
                break;
            case ControlKind::Slider: {
                const auto* slider = static_cast<QSlider*>(widget);
                QCOMPARE(slider->minimum(), 0);
                QCOMPARE(slider->maximum(), static_cast<int>(c.maximum));
                QCOMPARE(slider->value(), static_cast<int>(c.initial));
                QCOMPARE(slider->tickPosition(), QSlider::NoTicks);
                break;
            }
            case ControlKind::Shape:
                QCOMPARE(form->Shape1->brush_colour(),
                         QColor(static_cast<int>(c.initial & 0xFF),
                                static_cast<int>((c.initial >> 8) & 0xFF),
                                static_cast<int>((c.initial >> 16) & 0xFF)));
                break;
            default: break;
        }
        QCOMPARE(widget->geometry(), QRect(c.left, c.top, c.width, c.height));
    }

    void captions_and_initial_values() {
        QCOMPARE(form->StatusBar1->currentMessage(), QString());
        // "Channel 1:" must end before its echo starts.
        QVERIFY(form->Label1->geometry().right() < form->Label13->x());
        // The runner and the page start from these too.
        QCOMPARE(form->TrackBar1->value(), 1);
        QCOMPARE(form->TrackBar2->value(), 0);
        // Setting the start position is not a move: the input stays zero.
        QCOMPARE(input_a, 0u);

        QCOMPARE(form->Shape1->brush_colour(), QColor(255, 0, 0));
        QCOMPARE(form->Image1->parentWidget(), form->Panel1);
        QVERIFY(form->Timer1->isActive());
        QCOMPARE(form->Timer1->interval(), 100);
    }

    void sliders_echo_and_set_the_inputs() {
        form->TrackBar1->setValue(4096);
        QCOMPARE(form->Label13->text(), QStringLiteral("4096"));
        QCOMPARE(input_a, 4096u);
        form->TrackBar2->setValue(17);
        QCOMPARE(form->Label14->text(), QStringLiteral("17"));
        QCOMPARE(input_b, 17u);
        // The echo grows with its text instead of cutting "4096" short.
        QVERIFY(form->Label13->width() >=
                form->Label13->fontMetrics().horizontalAdvance(QStringLiteral("4096")));
        form->TrackBar1->setValue(0);
        form->TrackBar2->setValue(0);
    }

    void timer_is_the_tick() {
        const u8 before = blink_count;
        form->Timer1Timer();
        QCOMPARE(blink_count, static_cast<u8>(before == 10 ? 0 : before + 1));
    }

    void lamp_colour_word_holds_red_in_the_low_byte() {
        form->set_lamp_colour(LAMP_MAROON);
        QCOMPARE(form->Shape1->brush_colour(), QColor(128, 0, 0));
        form->set_lamp_colour(LAMP_RED);
        QCOMPARE(form->Shape1->brush_colour(), QColor(255, 0, 0));
        form->set_lamp_colour(0xFF0000);
        QCOMPARE(form->Shape1->brush_colour(), QColor(0, 0, 255));
    }

    void lcd_show_paints_the_picture_in_place() {
        QCOMPARE(inactive_border_colour(), 0xFFD4D0C8u);
        QVERIFY(!form->Image1->drawn());
        lcd_attach_canvas(form->lcd_canvas());
        lcd_clear();
        lcd_pixel(0, 0, DrawMode::Set);
        lcd_pixel(113, 63, DrawMode::Set);
        lcd_pixel(57, 20, DrawMode::Set);
        lcd_show();
        const QImage& picture = form->Image1->image();
        QCOMPARE(picture.size(), QSize(229, 133));
        const QRgb black = qRgb(0, 0, 0);
        const QRgb unlit = qRgb(212, 208, 200);
        for (const QPoint p : {QPoint(0, 0), QPoint(1, 1), QPoint(226, 126), QPoint(227, 127),
                               QPoint(114, 40), QPoint(115, 41)})
            QCOMPARE(picture.pixel(p), black);
        for (const QPoint p : {QPoint(2, 0), QPoint(0, 2), QPoint(225, 127), QPoint(113, 40)})
            QCOMPARE(picture.pixel(p), unlit);
        // Outside the 228 x 128 that the LCD covers: a new picture's white.
        QCOMPARE(picture.pixel(228, 0), qRgb(255, 255, 255));
        QCOMPARE(picture.pixel(0, 128), qRgb(255, 255, 255));
        QVERIFY(form->Image1->drawn());
    }

    // The LCD is repainted when its picture changed, and only then: a pass
    // that draws the same screen again costs no painting.
    void picture_is_repainted_only_when_changed() {
        struct PaintCounter : QObject {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* event) override {
                paints += event->type() == QEvent::Paint;
                return false;
            }
        } counter;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->Image1->installEventFilter(&counter);
        lcd_attach_canvas(form->lcd_canvas());
        const auto pass = [&] {
            form->hide_lcd_picture();
            lcd_show();
            form->show_lcd_picture();
            QTest::qWait(30);
            return std::exchange(counter.paints, 0);
        };
        lcd_clear();
        lcd_pixel(3, 3, DrawMode::Set);
        QCOMPARE(pass(), 1);
        QCOMPARE(pass(), 0);
        lcd_pixel(4, 3, DrawMode::Set);
        QCOMPARE(pass(), 1);
    }

    // On a screen scaled by two every LCD pixel must stay a hard-edged block:
    // a smoothed picture would show greys between black and the unlit colour.
    void lcd_stays_sharp_when_scaled() {
        lcd_attach_canvas(form->lcd_canvas());
        lcd_clear();
        for (u8 i = 0; i < 64; i += 3)
            lcd_line(0, i, 113, 63 - i, DrawMode::Set);
        lcd_show();
        QImage scaled(2 * 229, 2 * 133, QImage::Format_RGB32);
        scaled.setDevicePixelRatio(2);
        scaled.fill(Qt::white);
        form->Image1->render(&scaled);
        int black = 0;
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 456; ++x) {
                const QRgb p = scaled.pixel(x, y);
                QVERIFY2(p == qRgb(0, 0, 0) || p == qRgb(212, 208, 200),
                         qPrintable(QStringLiteral("smoothed pixel at %1, %2").arg(x).arg(y)));
                black += p == qRgb(0, 0, 0);
                // Each LCD pixel covers a 4 x 4 block of device pixels.
                QCOMPARE(p, scaled.pixel(x & ~3, y & ~3));
            }
        }
        QVERIFY(black > 0);
    }

    void bezel_decodes_from_the_program() {
        QString error;
        const QImage bezel = decode_jpeg(BEZEL_JPEG, BEZEL_JPEG_SIZE, &error);
        QVERIFY2(!bezel.isNull(), qPrintable(error));
        QCOMPARE(bezel.size(), QSize(310, 310));
        // Black face around the LCD window, a light grey window, a red lamp.
        const QColor face = bezel.pixelColor(155, 240);
        QVERIFY(face.red() < 40 && face.green() < 40 && face.blue() < 40);
        const QColor window = bezel.pixelColor(155, 160);
        QVERIFY(window.red() > 170 && window.green() > 170 && window.blue() > 170);
        const QColor lamp = bezel.pixelColor(155, 28);
        QVERIFY(lamp.red() > 150 && lamp.green() < 90 && lamp.blue() < 90);
        QVERIFY(!form->Image2->pixmap().isNull());
    }

    void damaged_bezel_gives_a_plain_face() {
        const QByteArray junk("this is not a picture");
        QString error;
        QImage face = bezel_picture(reinterpret_cast<const unsigned char*>(junk.constData()),
                                    static_cast<std::size_t>(junk.size()), &error);
        QVERIFY(!error.isEmpty());
        QCOMPARE(face.size(), QSize(310, 310));
        QVERIFY(face.pixelColor(155, 155).lightness() < 40);

        // Cut short, libjpeg would fill the rest with grey; that counts as
        // damaged too.
        error.clear();
        const QImage half = decode_jpeg(BEZEL_JPEG, BEZEL_JPEG_SIZE / 2, &error);
        QVERIFY(half.isNull());
        QVERIFY(!error.isEmpty());

        error.clear();
        QVERIFY(decode_jpeg(nullptr, 0, &error).isNull());
        QVERIFY(!error.isEmpty());
        // The reason is optional.
        QVERIFY(decode_jpeg(nullptr, 0, nullptr).isNull());
        QVERIFY(decode_jpeg(BEZEL_JPEG, BEZEL_JPEG_SIZE / 2, nullptr).isNull());

        // A sound JPEG wider or taller than any bezel could be is refused
        // before its pixels are allocated.
        for (const QSize size : {QSize(4097, 8), QSize(8, 4097)}) {
            QByteArray jpeg;
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            QImage strip(size, QImage::Format_RGB32);
            strip.fill(Qt::white);
            QVERIFY(strip.save(&buffer, "JPG"));
            error.clear();
            QVERIFY(decode_jpeg(reinterpret_cast<const unsigned char*>(jpeg.constData()),
                                static_cast<std::size_t>(jpeg.size()), &error)
                        .isNull());
            QVERIFY2(error.contains(QStringLiteral("unexpected picture format")),
                     qPrintable(error));
        }
    }

    // The context menu opens on the bezel only; beside it the event goes on
    // to the controls.
    void context_menu_on_the_bezel_only() {
        if (form->ContextMenu->actions().isEmpty())
            form->ContextMenu->addAction(QStringLiteral("entry"));
        form->show();
        QContextMenuEvent beside(QContextMenuEvent::Mouse, QPoint(500, 150),
                                 form->mapToGlobal(QPoint(500, 150)));
        QApplication::sendEvent(form, &beside);
        QVERIFY(!beside.isAccepted());
        QVERIFY(!form->ContextMenu->isVisible());
        QContextMenuEvent on_bezel(QContextMenuEvent::Mouse, QPoint(150, 150),
                                   form->mapToGlobal(QPoint(150, 150)));
        QApplication::sendEvent(form, &on_bezel);
        QVERIFY(on_bezel.isAccepted());
        QVERIFY(form->ContextMenu->isVisible());
        form->ContextMenu->hide();
    }

private:
    // The window's members by their names, to check the table's names
    // against the members the rest of the window uses.
    QWidget* member(const char* name) const {
        const std::pair<const char*, QWidget*> members[] = {
            {"Image2", form->Image2},       {"Shape1", form->Shape1},
            {"Panel1", form->Panel1},       {"Image1", form->Image1},
            {"Image3", form->Image3},       {"Image5", form->Image5},
            {"Image6", form->Image6},       {"Button3", form->Button3},
            {"Button4", form->Button4},     {"Button1", form->Button1},
            {"Button2", form->Button2},     {"Label1", form->Label1},
            {"Label13", form->Label13},     {"TrackBar1", form->TrackBar1},
            {"Label2", form->Label2},       {"Label14", form->Label14},
            {"TrackBar2", form->TrackBar2}, {"CheckBox2", form->CheckBox2},
            {"CheckBox3", form->CheckBox3}, {"StatusBar1", form->StatusBar1}};
        for (const auto& [n, widget] : members)
            if (std::string_view(n) == name) return widget;
        return nullptr;
    }
    QWidget* find(const char* role) const {
        const Control* c = find_control(role);
        return c != nullptr ? member(c->name) : nullptr;
    }

    TestForm* form = nullptr;
};

QTEST_MAIN(Form1LayoutTest)
#include "form1_layout_test.moc"
