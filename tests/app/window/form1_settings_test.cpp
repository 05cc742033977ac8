// Settings files and values from the window: loading into the running
// instrument between passes, refusals while off or for a bad file, a value
// moving the slider so its label, its tooltip and the instrument agree.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/runtime/instrument.h"
#include "app/window/form1.h"
#include "app/workbench/settings_file.h"
#include "firmware/firmware.h"

namespace {

class CountingForm : public TForm1 {
public:
    void hide_lcd_picture() override {
        ++passes;
        TForm1::hide_lcd_picture();
    }
    u32 passes = 0;
};

const QString EXAMPLES = QStringLiteral(DG2_SOURCE_DIR "/examples/settings/");

}  // namespace

class Form1SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void menu_entries_and_shortcuts() {
        TForm1 form;
        QStringList texts;
        for (QAction* a : form.ContextMenu->actions())
            if (!a->isSeparator()) texts << a->text() + "|" + a->shortcut().toString();
        QVERIFY(texts.contains("Save settings...|Ctrl+S"));
        QVERIFY(texts.contains("Load settings...|Ctrl+O"));
        QVERIFY(texts.contains("Channel 2 value...|"));
        QVERIFY(texts.contains("Channel 1 sender open|"));
    }

    void load_value_save_while_running() {
        CountingForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QString error;
        QVERIFY(!form.load_settings_from(EXAMPLES + "oil_psi_coolant_f.toml", error));
        QVERIFY2(error.contains("off"), qPrintable(error));

        const QString saved = QDir::tempPath() + "/form1_settings_test.toml";
        InstrumentSettings expected;
        std::string why;
        QVERIFY(
            load_settings_file((EXAMPLES + "oil_psi_coolant_f.toml").toStdString(), expected, why));
        bool checked = false;
        u32 count = 0;
        u32 at = 0;
        std::function<void()> after;
        // Runs inside the main loop, between passes, once the splash is over.
        std::function<void()> step = [&] {
            if (form.passes < 2) {
                QTimer::singleShot(10, &form, step);
                return;
            }
            QString e;
            QVERIFY2(form.load_settings_from(EXAMPLES + "oil_psi_coolant_f.toml", e),
                     qPrintable(e));
            QVERIFY(settings_equal(settings, expected));
            QVERIFY(form.StatusBar1->currentMessage().contains("from the next pass"));

            // A bad file changes nothing and says where it is wrong.
            QVERIFY(!form.load_settings_from(
                DG2_SOURCE_DIR "/tests/scenarios/bad/span_too_large.toml", e));
            QVERIFY2(e.contains(":25: key 'channel1.pressure.span'"), qPrintable(e));
            QVERIFY(settings_equal(settings, expected));

            QVERIFY2(form.set_channel_value(0, 55, e), qPrintable(e));
            count = static_cast<u32>(form.TrackBar1->value());
            QCOMPARE(input_a, count);
            QCOMPARE(form.Label13->text(), QString::number(count));
            QCOMPARE(form.TrackBar1->toolTip(), QString("Channel 1 shows 55 psi"));
            QVERIFY(!form.set_channel_value(1, 900, e));
            QVERIFY2(e.startsWith("channel 2 shows "), qPrintable(e));

            form.set_sender_fault(0, true);
            QCOMPARE(form.TrackBar1->value(), 4096);
            QVERIFY(form.StatusBar1->currentMessage().contains("CHECK SENDER"));
            form.set_channel_value(0, 55, e);

            QVERIFY2(form.save_settings_to(saved, e), qPrintable(e));
            at = form.passes;
            after = [&] {
                if (form.passes < at + 2) {
                    QTimer::singleShot(10, &form, after);
                    return;
                }
                QCOMPARE(pressure_value[0], 55);
                checked = true;
                form.Button2Click();
            };
            after();
        };
        QTimer::singleShot(0, &form, step);
        // A failed check above leaves its lambda early: switch off anyway.
        QTimer::singleShot(30000, &form, [&] { form.Button2Click(); });
        form.Button1Click();
        QVERIFY(checked);

        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().toStdString(), settings_to_toml(expected));
        file.remove();
    }
};

QTEST_MAIN(Form1SettingsTest)
#include "form1_settings_test.moc"
