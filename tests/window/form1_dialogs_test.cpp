// The window's dialogs and what it says: no dialog stops the instrument,
// a number is kept as typed and refused with its reason, every failed save
// or load is a message box, and the status bar's message keeps clear of its
// fields.
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/window/value_dialog.h"
#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "tests/window/counting_form.h"
#include "tests/window/dialogs.h"
#include "tests/window/test_form.h"
#include "workbench/settings/settings_file.h"

class Form1DialogsTest : public QObject {
    Q_OBJECT

private slots:
    // Each entry's dialog stays open 300 ms, as does the box of a recording
    // whose folder vanished: the passes go on meanwhile.
    void dialogs_leave_the_instrument_running() {
        CountingForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTemporaryDir dir;
        const char* const rows[] = {"Save settings...",        "Load settings...",
                                    "Channel 1 value...",      "Save LCD picture...",
                                    "Record LCD animation...", "Stop recording"};
        std::vector<int> ran(std::size(rows), -1);
        size_t row = 0;  // whose dialog is open, or comes next
        bool triggered = false;
        int start = -1;
        QElapsedTimer open_for;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || row == std::size(rows)) return;
            if (start < 0) {
                start = form.passes;
                open_for.start();
            } else if (form.passes - start >= 5 || open_for.elapsed() >= 5000) {
                // Five passes with the dialog open (a loaded machine may take
                // longer than their 100 ms), or the loop stood still.
                ran[row] = form.passes - start;
                dialog->reject();
            }
        });
        poll.start(5);
        // Inside the main loop, between passes: each entry once the dialogs of
        // the one before have closed.
        std::function<void()> next = [&] {
            if (form.passes < 2 || QApplication::activeModalWidget() != nullptr) {
                QTimer::singleShot(10, &form, next);
                return;
            }
            if (triggered) ++row;
            if (row == std::size(rows)) return form.Button2Click();
            start = -1;
            triggered = true;
            if (row + 1 == std::size(rows)) {
                QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("gone")));
                QVERIFY(form.start_recording(dir.filePath(QStringLiteral("gone/lcd.gif"))));
                QVERIFY(QDir(dir.filePath(QStringLiteral("gone"))).removeRecursively());
            }
            trigger(form.ContextMenu, QLatin1String(rows[row]));
            QTimer::singleShot(10, &form, next);
        };
        QTimer::singleShot(0, &form, next);
        QTimer::singleShot(20000, &form, [&] { form.Button2Click(); });
        form.Button1Click();
        for (size_t i = 0; i < ran.size(); ++i)
            QVERIFY2(ran[i] >= 5,
                     qPrintable(
                         QStringLiteral("%1: %2 passes").arg(QLatin1String(rows[i])).arg(ran[i])));
    }

    // What is typed stays; a number the channel cannot show is refused with
    // the range it can, and OK waits for one it can take.
    void value_kept_as_typed_and_refused_with_its_reason() {
        TestForm form;
        load_factory_defaults();
        double chosen = -1;
        ValueDialog dialog(&form, 0, 0, [&](double number) { chosen = number; });
        auto* line = dialog.findChild<QLineEdit*>();
        QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        line->clear();
        QTest::keyClicks(line, QStringLiteral("200"));
        QCOMPARE(line->text(), QStringLiteral("200"));
        QVERIFY(!ok->isEnabled());
        QVERIFY2(dialog.refusal().startsWith("channel 1 shows 0.0 bar to ") &&
                     dialog.refusal().endsWith(", not 200 bar."),
                 qPrintable(dialog.refusal()));
        bool shown = false;
        for (QLabel* label : dialog.findChildren<QLabel*>())
            shown = shown || label->text() == dialog.refusal();
        QVERIFY(shown);
        line->setText(QStringLiteral("four"));
        QCOMPARE(dialog.refusal(), QStringLiteral("\"four\" is not a number."));
        line->setText(QStringLiteral("3.5"));
        QVERIFY(ok->isEnabled());
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(chosen, 3.5);

        // Through the menu: refused, and the slider stays where it was.
        form.TrackBar1->setValue(700);
        int boxes = 0;
        const QString said = use_entry(form, form.ContextMenu, "Channel 1 value...", "200", &boxes);
        QVERIFY2(said.endsWith(", not 200 bar."), qPrintable(said));
        QCOMPARE(form.TrackBar1->value(), 700);

        // The channel switched off while the dialog was open: a box says so.
        QVERIFY(trigger(form.ContextMenu, QStringLiteral("Channel 1 value...")));
        const auto dialogs = form.findChildren<ValueDialog*>();
        QCOMPARE(dialogs.size(), 2);
        ValueDialog* open = dialogs[0] == &dialog ? dialogs[1] : dialogs[0];
        open->findChild<QLineEdit*>()->setText(QStringLiteral("3.5"));
        settings.channel_kind[0] = ChannelKind::Off;
        open->accept();
        const auto* box = form.findChild<QMessageBox*>();
        QVERIFY(box != nullptr);
        QCOMPARE(box->text(), QStringLiteral("channel 1 is OFF: it shows no value"));
        QCOMPARE(form.TrackBar1->value(), 700);
    }

    // The same message box for every failed save or load, with the whole
    // reason; a load that fails says the settings are as they were.
    void every_failure_is_a_message_box() {
        TestForm form;
        form.show();
        QTemporaryDir dir;
        const QString missing = dir.filePath("no/x");
        settings = InstrumentSettings{};
        std::string why;
        QVERIFY(load_settings_file(DG2_SOURCE_DIR "/examples/settings/boost_gauge.toml", settings,
                                   why));
        const struct {
            const char* entry;
            QString answer;
            const char* says;
        } rows[] = {
            {"Save LCD picture...", missing + ".png", "no/x.png"},
            {"Record LCD animation...", missing + ".gif", "no/x.gif"},
            {"Save settings...", missing + ".toml", "no/x.toml"},
            {"Load settings...", {}, "The instrument's settings are unchanged."},
        };
        for (const auto& row : rows) {
            int boxes = 0;
            const QString said =
                use_entry(form, form.ContextMenu, QLatin1String(row.entry), row.answer, &boxes);
            QCOMPARE(boxes, 1);
            QVERIFY2(said.contains(QLatin1String(row.says)), qPrintable(said));
        }
    }

    // A message longer than its room is shortened in the middle and keeps
    // clear of the fields at the right; its whole text is the tooltip.
    void long_message_keeps_clear_of_the_fields() {
        TestForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QString text =
            QStringLiteral("LCD picture not saved: /home/someone/a/rather/deep/folder/") +
            QString(40, QLatin1Char('n')) + QStringLiteral("/lcd.png: No such file or directory");
        form.StatusBar1->showMessage(text);
        int field_left = form.StatusBar1->width();
        for (QLabel* label : form.StatusBar1->findChildren<QLabel*>())
            if (label->isVisible()) field_left = std::min(field_left, label->x());
        const QImage bar = form.StatusBar1->grab().toImage();
        // Between the bar's edges, and short of the frame a field may have.
        const QRgb background = bar.pixel(2, bar.height() / 2);
        int text_right = -1;
        for (int x = 0; x < field_left - 2; ++x)
            for (int y = 3; y < bar.height() - 3; ++y)
                if (bar.pixel(x, y) != background) text_right = x;
        QVERIFY2(text_right < field_left - 8,
                 qPrintable(
                     QStringLiteral("text to %1, field from %2").arg(text_right).arg(field_left)));
        QVERIFY(text_right > field_left / 2);
        QCOMPARE(form.StatusBar1->toolTip(), text);
    }
};

QTEST_MAIN(Form1DialogsTest)
#include "form1_dialogs_test.moc"
