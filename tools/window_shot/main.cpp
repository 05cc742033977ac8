// Takes a picture of the simulator window as a user sees it a few seconds
// after "ON", with both inputs inside their alarm limits. Run it with
// QT_QPA_PLATFORM=offscreen to need no display:
//   dg2_window_shot OUTPUT.png
#include <QApplication>
#include <QBuffer>
#include <QSlider>
#include <QTimer>
#include <cstdio>

#include "app/files/atomic_file.h"
#include "app/runtime/instrument.h"
#include "app/window/form1.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dg2_window_shot OUTPUT.png\n");
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
            form.TrackBar1->setValue(300);
            form.TrackBar2->setValue(300);
            QTimer::singleShot(1500, &form, [&] {
                // Encoded in memory and written whole, so a failed run
                // leaves the old picture in place.
                QByteArray bytes;
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::WriteOnly);
                std::string error;
                saved = form.grab().save(&buffer, "PNG") &&
                        write_file_atomically(
                            argv[1],
                            std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                            error);
                form.Button2Click();
            });
        });
        form.Button1Click();
        QApplication::quit();
    });
    QApplication::exec();
    if (!saved) {
        std::fprintf(stderr, "dg2_window_shot: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
