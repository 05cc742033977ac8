// Settings files and values from the window: loading into the running
// instrument between passes, refusals while off or for a bad file, a value
// moving the slider so its label, its tooltip and the instrument agree.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHelpEvent>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/runtime/instrument.h"
#include "app/window/form1.h"
#include "app/workbench/settings_file.h"
#include "firmware/firmware.h"
#include "tests/app/window/dialogs.h"

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

// The file dialog's answer: `path`, or cancel for an empty one.
void choose_file(const QString& path) {
    answer_dialog<QFileDialog>([path](QFileDialog* dialog) {
        if (path.isEmpty()) return dialog->reject();
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own, which checks the name
    });
}

void put_settings(const QString& path) {
    std::string why;
    QVERIFY2(load_settings_file(path.toStdString(), settings, why), why.c_str());
}

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
            // Through the menu's dialog, and a bad file named in a message.
            choose_file(EXAMPLES + "boost_gauge.toml");
            QVERIFY(trigger(form.ContextMenu, "Load settings..."));
            QVERIFY(form.StatusBar1->currentMessage().contains("boost_gauge.toml: in force"));
            QString warning;
            choose_file(DG2_SOURCE_DIR "/tests/scenarios/bad/span_too_large.toml");
            answer_dialog<QMessageBox>([&](QMessageBox* box) {
                warning = box->text();
                box->accept();
            });
            trigger(form.ContextMenu, "Load settings...");
            QVERIFY2(warning.contains(":25: key 'channel1.pressure.span'"), qPrintable(warning));
            form.StatusBar1->clearMessage();
            choose_file(QString());
            trigger(form.ContextMenu, "Load settings...");
            QVERIFY(form.StatusBar1->currentMessage().isEmpty());
            QVERIFY(form.load_settings_from(EXAMPLES + "oil_psi_coolant_f.toml", e));

            // A bad file changes nothing and says where it is wrong.
            QVERIFY(!form.load_settings_from(
                DG2_SOURCE_DIR "/tests/scenarios/bad/span_too_large.toml", e));
            QVERIFY2(e.contains(":25: key 'channel1.pressure.span'"), qPrintable(e));
            QVERIFY(settings_equal(settings, expected));

            QVERIFY2(form.set_channel_value(0, 55, e), qPrintable(e));
            count = static_cast<u32>(form.TrackBar1->value());
            QCOMPARE(input_a, count);
            QCOMPARE(form.Label13->text(), QString::number(count));
            QVERIFY(form.TrackBar1->toolTip().startsWith("Channel 1 shows 55 psi\n"));
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

    // The menu's entries and their dialogs while off: refusals without
    // settings or a channel to set, then files and numbers chosen, a failed
    // save shown, and tooltips that follow the settings.
    void entries_through_their_dialogs() {
        TForm1 form;
        form.show();
        auto status = [&] { return form.StatusBar1->currentMessage(); };
        settings = InstrumentSettings{};  // as before the first "ON"
        QVERIFY(trigger(form.ContextMenu, "Save settings..."));
        QVERIFY(status().startsWith("No settings to save yet"));
        trigger(form.ContextMenu, "Channel 2 value...");
        QCOMPARE(status(), QString("channel 2 is OFF: it shows no value"));
        trigger(form.ContextMenu, "Load settings...");
        QVERIFY(status().startsWith("The instrument is off"));

        put_settings(EXAMPLES + "fuel_rotax_oil_lm335.toml");
        QTemporaryDir dir;
        choose_file(dir.filePath("saved"));
        trigger(form.ContextMenu, "Save settings...");
        QFile file(dir.filePath("saved.toml"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().toStdString(), settings_to_toml(settings));
        QString warning;
        choose_file(dir.filePath("no/saved.toml"));
        answer_dialog<QMessageBox>([&](QMessageBox* box) {
            warning = box->text();
            box->accept();
        });
        trigger(form.ContextMenu, "Save settings...");
        QVERIFY2(warning.contains("no/saved.toml"), qPrintable(warning));
        form.StatusBar1->clearMessage();
        choose_file(QString());
        trigger(form.ContextMenu, "Save settings...");
        QVERIFY(status().isEmpty());

        // The dialog offers the channel's range in its unit, tenths of a bar here.
        QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), form.TrackBar1->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(form.TrackBar1, &tip);
        QVERIFY2(form.TrackBar1->toolTip().startsWith("Channel 1 shows 0.0 bar"),
                 qPrintable(form.TrackBar1->toolTip()));
        QString range;
        answer_dialog<QInputDialog>([&](QInputDialog* dialog) {
            range = dialog->labelText();
            dialog->setDoubleValue(3.5);
            dialog->accept();
        });
        trigger(form.ContextMenu, "Channel 1 value...");
        QVERIFY2(range.startsWith("Channel 1 shows 0.0 bar to "), qPrintable(range));
        QCOMPARE(status(), QString("Channel 1 shows 3.5 bar at input 1899"));
        answer_dialog<QInputDialog>([](QInputDialog* dialog) {
            dialog->setDoubleValue(85);
            dialog->accept();
        });
        trigger(form.ContextMenu, "Channel 2 value...");
        QVERIFY2(status().startsWith("Channel 2 shows 85"), qPrintable(status()));
        const int position = form.TrackBar2->value();
        answer_dialog<QInputDialog>([](QInputDialog* dialog) { dialog->reject(); });
        trigger(form.ContextMenu, "Channel 2 value...");
        QCOMPARE(form.TrackBar2->value(), position);

        trigger(form.ContextMenu, "Channel 2 sender short");
        QCOMPARE(status(), QString("Channel 2: sender short (input 0)"));
        QCOMPARE(form.TrackBar2->value(), 0);
        put_settings(DG2_SOURCE_DIR "/tests/scenarios/workbench/user_curve.toml");
        trigger(form.ContextMenu, "Channel 1 sender open");
        QCOMPARE(status(),
                 QString("Channel 1: sender open (input 4096), which this sender does not report"));
    }
};

QTEST_MAIN(Form1SettingsTest)
#include "form1_settings_test.moc"
