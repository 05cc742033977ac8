// The window's pictures, the LCD window and its help, with pictures drawn
// into the LCD by the firmware's own drawing and shown as a pass shows them.
#include <gif_lib.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/window/colours.h"
#include "app/window/controls.h"
#include "app/window/lcd_window.h"
#include "firmware/firmware.h"
#include "tests/support/file_faults.h"
#include "tests/window/dialogs.h"
#include "tests/window/test_form.h"

class PicturesHelpTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        form = new TestForm;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        lcd_attach_canvas(form->lcd_canvas());
    }
    void cleanup() {
        delete form;
        lcd_attach_canvas(nullptr);
    }

    void saved_png_equals_the_lcd_picture() {
        show_picture(5);
        const QString path = dir.filePath(QStringLiteral("lcd.png"));
        QVERIFY(form->save_lcd_picture(path, 2));
        QVERIFY(form->StatusBar1->currentMessage().contains(QStringLiteral("saved to")));
        const QImage saved(path);
        const QImage shown = form->Image1->lcd_area();
        QCOMPARE(saved.size(), shown.size());
        QCOMPARE(differing_pixels(saved, shown), 0);

        // From the LCD window: at its zoom, in its colours.
        form->open_lcd_window(8);
        form->lcd_window()->set_lit_scheme(true);
        QVERIFY(form->save_lcd_picture(path, form->lcd_window()->zoom(), true));
        const QImage big(path);
        QCOMPARE(big.size(), QSize(912, 512));
        int mismatches = 0;
        for (int y = 0; y < LCD_HEIGHT; ++y)
            for (int x = 0; x < LCD_WIDTH; ++x)
                mismatches += (big.pixel(8 * x + 7, 8 * y) & 0xFFFFFFu) !=
                              (lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y))
                                   ? form->lcd_window()->lit_colour()
                                   : form->lcd_window()->unlit_colour());
        QCOMPARE(mismatches, 0);

        QVERIFY(!form->save_lcd_picture(dir.filePath(QStringLiteral("no/lcd.png")), 2));
        QVERIFY(form->StatusBar1->currentMessage().startsWith(QStringLiteral("LCD picture not")));
        form->copy_lcd_picture();
        QVERIFY(form->StatusBar1->currentMessage().contains(QStringLiteral("clipboard")));

        // Before the instrument first draws, both show the frame's grey.
        TestForm fresh;
        fresh.copy_lcd_picture();
        const QImage copied = QGuiApplication::clipboard()->image();
        QCOMPARE(copied.size(), QSize(228, 128));
        QCOMPARE(copied.pixel(0, 0), 0xFF000000u | scroll_bar_colour());
        QVERIFY(fresh.save_lcd_picture(path, 2));
        const QImage grey(path);
        QCOMPARE(grey.size(), copied.size());
        QCOMPARE(differing_pixels(grey, copied), 0);
    }

    // Three pictures standing 250, 500 and 250 ms: three frames whose delays
    // are the times they stood, and whose last state is the last picture.
    void recorded_gif_has_the_frames_and_delays() {
        show_picture(0);
        const QString path = dir.filePath(QStringLiteral("lcd.gif"));
        QVERIFY(form->start_recording(path));
        QVERIFY(form->recording());
        QElapsedTimer clock;
        clock.start();
        QTest::qWait(250);
        const qint64 second = clock.elapsed();
        show_picture(1);
        show_picture(1);  // no change, no frame
        QTest::qWait(500);
        const qint64 third = clock.elapsed();
        show_picture(2);
        QTest::qWait(250);
        QVERIFY(form->stop_recording());
        const qint64 end = clock.elapsed();
        QVERIFY(!form->recording());
        QVERIFY(form->StatusBar1->currentMessage().contains(QStringLiteral("3 frames")));

        int status = 0;
        GifFileType* gif = DGifOpenFileName(path.toLocal8Bit().constData(), &status);
        QVERIFY(gif != nullptr);
        QCOMPARE(DGifSlurp(gif), GIF_OK);
        QCOMPARE(gif->ImageCount, 3);
        QCOMPARE(QSize(gif->SWidth, gif->SHeight), QSize(228, 128));
        const qint64 stood[] = {second, third - second, end - third};
        for (int i = 0; i < 3; ++i) {
            GraphicsControlBlock control{};
            QCOMPARE(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
            // The recording's clock started a moment before this one, and a
            // loaded machine may see a picture some tens of ms late.
            QVERIFY2(qAbs(control.DelayTime * 10 - stood[i]) <= 80,
                     qPrintable(QStringLiteral("frame %1: %2 cs, stood %3 ms")
                                    .arg(i)
                                    .arg(control.DelayTime)
                                    .arg(stood[i])));
        }
        const SavedImage& last = gif->SavedImages[2];
        QVERIFY(last.ImageDesc.Width < 228);  // only what changed
        DGifCloseFile(gif, &status);

        QVERIFY(!form->start_recording(dir.filePath(QStringLiteral("no/lcd.gif"))));
        QVERIFY(!form->recording());
        QVERIFY(form->StatusBar1->currentMessage().startsWith(QStringLiteral("Recording not")));
    }

    // The entries through their file dialogs, from the main window and from
    // the LCD window (at its zoom); an animation that cannot be kept says so.
    void entries_through_their_dialogs() {
        show_picture(1);
        form->open_lcd_window(3);
        QMenu* const main = form->ContextMenu;
        QMenu* const pop_out = form->lcd_window()->menu();
        const struct {
            QMenu* menu;
            const char* entry;
            const char* file;
            const char* shows;  // in the status bar, as it starts; "": nothing
        } rows[] = {
            {main, "Save LCD picture...", "shot", "LCD picture saved to "},
            {pop_out, "Save LCD picture...", "big.png", "LCD picture saved to "},
            {main, "Save LCD picture...", "", ""},
            {main, "Record LCD animation...", "", ""},
            {main, "Record LCD animation...", "anim", "Recording the LCD to "},
            {pop_out, "Stop recording", "", "LCD animation saved to "},
            {pop_out, "Record LCD animation...", "big", "Recording the LCD to "},
            {main, "Stop recording", "", "LCD animation saved to "},
        };
        for (const auto& row : rows) {
            const QString file = *row.file ? dir.filePath(QLatin1String(row.file)) : QString();
            const QString shown = use_entry(*form, row.menu, QLatin1String(row.entry), file);
            QVERIFY2(*row.shows ? shown.startsWith(QLatin1String(row.shows)) : shown.isEmpty(),
                     qPrintable(QLatin1String(row.entry) + QStringLiteral(": ") + shown));
        }
        QCOMPARE(QImage(dir.filePath(QStringLiteral("shot.png"))).size(), QSize(228, 128));
        QCOMPARE(QImage(dir.filePath(QStringLiteral("big.png"))).size(), QSize(342, 192));
        QCOMPARE(gif_size(dir.filePath(QStringLiteral("anim.gif"))), QSize(228, 128));
        // From the LCD window: at its zoom, as a picture saved from there.
        QCOMPARE(gif_size(dir.filePath(QStringLiteral("big.gif"))), QSize(342, 192));

        // The folder gone while recording: the animation cannot be kept.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("gone")));
        QVERIFY(form->start_recording(dir.filePath(QStringLiteral("gone/lcd.gif"))));
        QVERIFY(QDir(dir.filePath(QStringLiteral("gone"))).removeRecursively());
        QVERIFY(!form->stop_recording());
        QVERIFY2(status().startsWith(QStringLiteral("LCD animation not saved: ")),
                 qPrintable(status()));
        QVERIFY(!form->recording());
    }

    // Noise at 16x is some 60 KB a frame: a recording of it is told in KB.
    // One started while another runs keeps the other; when the disk fills,
    // the recording ends at the picture that could not be written, says why
    // and leaves no file.
    void noisy_recordings_saved_and_onto_a_full_disk() {
        const QString noisy = dir.filePath(QStringLiteral("noisy.gif"));
        const QString kept = dir.filePath(QStringLiteral("kept.gif"));
        const QString full = dir.filePath(QStringLiteral("full.gif"));
        QVERIFY(form->start_recording(noisy, 8));
        show_noise();
        show_noise();
        QVERIFY(form->stop_recording());
        QVERIFY2(status().endsWith(QStringLiteral(" KB)")), qPrintable(status()));
        QVERIFY(form->start_recording(kept, 8));
        QVERIFY(form->start_recording(full, 8));
        QCOMPARE(gif_size(kept), QSize(1824, 1024));

        FileFaults faults;
        faults.room = 0;
        for (int frame = 0; frame < 10 && form->recording(); ++frame)
            show_noise();
        QVERIFY(!form->recording());
        QCOMPARE(status(),
                 QStringLiteral("Recording failed: ") + full +
                     QStringLiteral(": the GIF file cannot be written: No space left on device"));
        for (const QAction* action : form->ContextMenu->actions())
            QVERIFY(action->text() != QStringLiteral("Stop recording"));
        QStringList boxes;
        for (const QMessageBox* box : form->findChildren<QMessageBox*>())
            boxes << box->text();
        QCOMPARE(boxes, QStringList(status()));
        QCOMPARE(
            QDir(dir.path()).entryList({QStringLiteral("*full.gif*")}, QDir::Files | QDir::Hidden),
            QStringList());
    }

    // The LCD window's own menu and keys: the pixel grid, the lit colours,
    // the instrument's keys passed on, closing and opening again.
    void lcd_window_menu_and_keys() {
        show_picture(0);
        form->open_lcd_window(4);
        LcdWindow* window = form->lcd_window();
        QVERIFY(trigger(window->menu(), QStringLiteral("Pixel grid")));
        QImage shot = window->grab().toImage();
        QVERIFY(shot.pixel(4, 6) != 0xFFD4D0C8u);  // a grid line beside LCD pixel (1, 1)
        QCOMPARE(shot.pixel(5, 6), 0xFFD4D0C8u);
        // Below 4x lines would hide the pixels: none is drawn.
        window->resize(3 * LCD_WIDTH, 3 * LCD_HEIGHT);
        const QImage small = window->grab().toImage();
        int lines = 0;
        for (int y = 0; y < small.height(); ++y)
            for (int x = 0; x < small.width(); ++x)
                lines += small.pixel(x, y) != 0xFFD4D0C8u && small.pixel(x, y) != 0xFF000000u;
        QCOMPARE(lines, 0);
        window->resize(4 * LCD_WIDTH, 4 * LCD_HEIGHT);
        trigger(window->menu(), QStringLiteral("Pixel grid"));
        QVERIFY(trigger(window->menu(), QStringLiteral("Lit LCD colours")));
        shot = window->grab().toImage();
        QCOMPARE(shot.pixel(2, 2), 0xFFB8F0A0u);  // LCD pixel (0, 0), lit
        QCOMPARE(shot.pixel(4, 6), 0xFF142018u);

        pending_key = KeyNone;
        QTest::keyClick(window, Qt::Key_A);
        QCOMPARE(pending_key, KeyNone);
        QTest::keyClick(window, Qt::Key_F2);
        QCOMPARE(pending_key, KeyRight);
        pending_key = KeyNone;

        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10),
                                window->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(window, &click);
        QTRY_VERIFY(window->menu()->isVisible());
        window->menu()->close();
        QVERIFY(trigger(window->menu(), QStringLiteral("Close")));
        QVERIFY(!window->isVisible());
        // Opened again without a zoom: 4x; while open, it keeps its size.
        window->resize(6 * LCD_WIDTH, 6 * LCD_HEIGHT);
        form->open_lcd_window(0);
        QCOMPARE(window->zoom(), 4);
        window->resize(6 * LCD_WIDTH, 6 * LCD_HEIGHT);
        form->open_lcd_window(0);
        QCOMPARE(window->zoom(), 6);
    }

    void lcd_window_zoom_is_whole_at_every_size() {
        const struct {
            QSize size;
            int zoom;
        } table[] = {{{100, 50}, 2},     {{228, 128}, 2},  {{341, 191}, 2}, {{342, 192}, 3},
                     {{912, 512}, 8},    {{1000, 700}, 8}, {{911, 900}, 7}, {{1368, 768}, 12},
                     {{3000, 2000}, 12}, {{500, 1000}, 4}};
        for (const auto& row : table)
            QCOMPARE(lcd_window_zoom(row.size), row.zoom);

        show_picture(3);
        form->open_lcd_window(8);
        LcdWindow* window = form->lcd_window();
        QCOMPARE(window->size(), QSize(912, 512));
        // At an odd size the LCD sits centred, every pixel a 7 x 7 square.
        window->resize(911, 601);
        const QImage shot = window->grab().toImage();
        const int z = window->zoom();
        QCOMPARE(z, 7);
        const QPoint origin((911 - z * LCD_WIDTH) / 2, (601 - z * LCD_HEIGHT) / 2);
        int mismatches = 0;
        for (int y = 0; y < LCD_HEIGHT; ++y)
            for (int x = 0; x < LCD_WIDTH; ++x) {
                const bool lit = lcd_get_pixel(static_cast<u8>(x), static_cast<u8>(y));
                const QRgb want = lit ? 0xFF000000u : 0xFFD4D0C8u;
                mismatches += shot.pixel(origin + QPoint(z * x, z * y)) != want ||
                              shot.pixel(origin + QPoint(z * x + z - 1, z * y + z - 1)) != want;
            }
        QCOMPARE(mismatches, 0);
        QCOMPARE(shot.pixel(0, 0), 0xFFD4D0C8u);

        // It repaints when the picture changes, and only then.
        QTest::qWait(50);
        const int paints = window->paints();
        show_picture(3);
        QTest::qWait(50);
        QCOMPARE(window->paints(), paints);
        show_picture(4);
        QTRY_VERIFY(window->paints() > paints);
        // A picture of another size than the LCD's is no picture.
        const QImage before = window->grab().toImage();
        window->set_picture(std::vector<u8>(LCD_WIDTH, 1));
        QCOMPARE(window->grab().toImage(), before);
    }

    // Every control says what it is; every shortcut of the menu is in the
    // table and none takes a key of the instrument's.
    void help() {
        const QList<QWidget*> controls = {
            form->Button1,   form->Button2,   form->Button3,   form->Button4, form->TrackBar1,
            form->TrackBar2, form->CheckBox2, form->CheckBox3, form->Image1,  form->Shape1,
            form->Image3,    form->Image5,    form->Image6};
        for (QWidget* control : controls)
            QVERIFY2(!control->toolTip().isEmpty(), qPrintable(control->objectName()));
        QVERIFY(form->TrackBar1->toolTip().endsWith(TestForm::slider_tooltip_base(0)));

        const QString table = TestForm::keys_and_shortcuts_text();
        const QList<QKeySequence> instrument = {
            Qt::Key_F1,     Qt::Key_F2,    Qt::Key_Up,    Qt::Key_Down, Qt::Key_Left, Qt::Key_Right,
            Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Plus, Qt::Key_Minus};
        int shortcuts = 0;
        QList<QAction*> actions = form->ContextMenu->actions();
        for (int i = 0; i < actions.size(); ++i) {  // submenus' entries too
            if (actions[i]->menu() != nullptr) actions += actions[i]->menu()->actions();
        }
        for (QAction* action : actions)
            for (const QKeySequence& key : action->shortcuts()) {
                ++shortcuts;
                QVERIFY2(table.contains(key.toString()), qPrintable(key.toString()));
                QVERIFY(!instrument.contains(key));
            }
        QVERIFY(shortcuts >= 15);
        QVERIFY(TestForm::about_text().contains(QStringLiteral("Firmware version 1.16")));
        QVERIFY(TestForm::about_text().contains(QStringLiteral("README.md")));
        // Both open beside the running instrument, not in its way; the table
        // asked for again is the one already open.
        QVERIFY(trigger(form->ContextMenu, QStringLiteral("Keys and shortcuts")));
        QVERIFY(trigger(form->ContextMenu, QStringLiteral("About")));
        QVERIFY(trigger(form->ContextMenu, QStringLiteral("Keys and shortcuts")));
        QStringList shown;
        for (const QMessageBox* box : form->findChildren<QMessageBox*>())
            if (box->isVisible() && !box->isModal()) shown << box->text();
        QCOMPARE(shown, QStringList({table, TestForm::about_text()}));
    }

private:
    QString status() const { return form->StatusBar1->currentMessage(); }

    static int differing_pixels(const QImage& a, const QImage& b) {
        int differ = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                differ += a.pixel(x, y) != b.pixel(x, y);
        return differ;
    }

    static QSize gif_size(const QString& path) {
        int status = 0;
        GifFileType* gif = DGifOpenFileName(path.toLocal8Bit().constData(), &status);
        if (gif == nullptr) return {};
        const QSize size(gif->SWidth, gif->SHeight);
        DGifCloseFile(gif, &status);
        return size;
    }

    // A picture of noise, shown as a pass shows it a moment after the last.
    void show_noise() {
        QTest::qWait(30);
        form->hide_lcd_picture();
        for (int y = 0; y < LCD_HEIGHT; ++y)
            for (int x = 0; x < LCD_WIDTH; ++x)
                lcd_pixel(static_cast<u8>(x), static_cast<u8>(y),
                          (seed = seed * 1103515245u + 12345u) >> 30 & 1 ? DrawMode::Set
                                                                         : DrawMode::Clear);
        lcd_show();
        form->show_lcd_picture();
    }

    // Draws a picture that differs with `n` and shows it as a pass does.
    void show_picture(int n) {
        form->hide_lcd_picture();
        lcd_clear();
        for (int i = 0; i < 20; ++i)
            lcd_pixel(static_cast<u8>(10 + i + 3 * n), static_cast<u8>(20 + n), DrawMode::Set);
        lcd_pixel(0, 0, DrawMode::Set);
        lcd_pixel(LCD_WIDTH - 1, LCD_HEIGHT - 1, DrawMode::Set);
        lcd_show();
        form->show_lcd_picture();
    }

    TestForm* form = nullptr;
    QTemporaryDir dir;
    unsigned seed = 1;
};

QTEST_MAIN(PicturesHelpTest)
#include "pictures_help_test.moc"
