// Takes a picture of the simulator window as a user sees it a few seconds
// after "ON", with both inputs inside their alarm limits. Run it with
// QT_QPA_PLATFORM=offscreen to need no display:
//   dg2_window_shot OUTPUT.png [LCD_WINDOW.png]
// The second picture is the LCD window at 4x with the pixel grid and the lit
// LCD colours, taken at the same moment.
#include <QApplication>
#include <QBuffer>
#include <QTimer>
#include <cstdio>

#include "app/window/form1.h"
#include "app/window/lcd_window.h"
#include "runtime/instrument.h"
#include "tools/png_file.h"
#include "workbench/files/atomic_file.h"

namespace {

// Encoded in memory and written whole, so a failed run leaves the old picture
// in place.
bool save(const QPixmap& picture, const char* path) {
    std::string error;
    return write_png_file(picture.toImage(), path, error);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: dg2_window_shot OUTPUT.png [LCD_WINDOW.png]\n");
        return 2;
    }
    QApplication application(argc, argv);
    TForm1 form;
    form.show();
    bool saved = false;
    // The instrument runs inside the "ON" click; the picture is taken from a
    // timer while it runs, then "OFF" lets the click return.
    QTimer::singleShot(0, &form, [&] {
        QTimer::singleShot(2500, &form, [&] {
            form.set_slider_position(0, 300);
            form.set_slider_position(1, 300);
            QTimer::singleShot(1500, &form, [&] {
                saved = save(form.grab(), argv[1]);
                if (argc == 3) {
                    form.open_lcd_window(4);
                    form.lcd_window()->set_grid(true);
                    form.lcd_window()->set_lit_scheme(true);
                    saved = saved && save(form.lcd_window()->grab(), argv[2]);
                }
                form.Button2Click();
            });
        });
        form.Button1Click();
        QApplication::quit();
    });
    QApplication::exec();
    if (!saved) {
        std::fprintf(stderr, "dg2_window_shot: could not write %s\n",
                     argc == 3 ? "the pictures" : argv[1]);
        return 1;
    }
    return 0;
}
