// Settings files and values from the window: loading into the running
// instrument between passes, refusals while off or for a bad file, a value
// moving the slider so its label, its tooltip and the instrument agree.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "firmware/firmware.h"
#include "runtime/instrument.h"
#include "tests/window/counting_form.h"
#include "tests/window/dialogs.h"
#include "tests/window/test_form.h"
#include "workbench/settings/settings_file.h"

namespace {

const QString EXAMPLES = QStringLiteral(DG2_SOURCE_DIR "/examples/settings/");

}  // namespace

class Form1SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void menu_entries_and_shortcuts() {
        TestForm form;
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
        int at = 0;
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
            QVERIFY(settings == expected);
            QVERIFY(form.StatusBar1->currentMessage().contains("from the next pass"));
            // Through the menu's dialog; a bad file is named in a message.
            const QString bad = DG2_SOURCE_DIR "/tests/scenarios/bad/span_too_large.toml";
            QVERIFY(
                use_entry(form, form.ContextMenu, "Load settings...", bad).contains(":25: key"));
            QVERIFY(use_entry(form, form.ContextMenu, "Load settings...").isEmpty());

            // A bad file changes nothing and says where it is wrong.
            QVERIFY(!form.load_settings_from(
                DG2_SOURCE_DIR "/tests/scenarios/bad/span_too_large.toml", e));
            QVERIFY2(e.contains(":25: key 'channel1.pressure.span'"), qPrintable(e));
            QVERIFY(settings == expected);

            QVERIFY2(form.set_channel_value(0, 55, e), qPrintable(e));
            count = static_cast<u32>(form.TrackBar1->value());
            QCOMPARE(input_a, count);
            QCOMPARE(form.Label13->text(), QString::number(count));
            QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5),
                           form.TrackBar1->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(form.TrackBar1, &tip);
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
    // save shown, and the sliders' tooltips following the settings.
    void entries_through_their_dialogs() {
        TestForm form;
        form.show();
        QTemporaryDir dir;
        const QString factory, rotax = EXAMPLES + "fuel_rotax_oil_lm335.toml",
                               own = DG2_SOURCE_DIR "/tests/scenarios/workbench/user_curve.toml";
        const struct {
            const QString& settings;  // none: as before the first "ON"
            const char* entry;
            QString answer;
            QString shows;  // in the message box, or else in the status bar
        } rows[] = {
            {factory, "Save settings...", {}, "No settings to save yet"},
            {factory, "Channel 2 value...", {}, "channel 2 is OFF: it shows no value"},
            {factory, "Load settings...", {}, "The instrument is off: switch it on, then"},
            {rotax, "Save settings...", dir.filePath("s"),
             "Settings saved to " + dir.filePath("s.toml")},
            {rotax, "Save settings...", dir.filePath("no/s.toml"), "no/s.toml: cannot create"},
            {rotax, "Save settings...", {}, {}},
            {rotax, "Channel 1 value...", "3.5", "Channel 1 shows 3.5 bar at input 1899"},
            {rotax, "Channel 2 value...", "85", "Channel 2 shows 85"},
            {rotax, "Channel 2 value...", {}, {}},
            {rotax, "Channel 2 sender short", {}, "Channel 2: sender short (input 0)"},
            {own, "Channel 1 sender open", {}, "Channel 1: sender open (input 4096), which this"},
        };
        for (const auto& row : rows) {
            settings = InstrumentSettings{};
            std::string why;
            if (!row.settings.isEmpty())
                load_settings_file(row.settings.toStdString(), settings, why);
            const QString shown = use_entry(form, form.ContextMenu, row.entry, row.answer);
            QVERIFY2(shown.contains(row.shows) && shown.isEmpty() == row.shows.isEmpty(),
                     qPrintable(QString(row.entry) + ": " + shown));
        }
        QFile file(dir.filePath("s.toml"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        InstrumentSettings saved;
        std::string why;
        QVERIFY(load_settings_file(rotax.toStdString(), saved, why));
        QCOMPARE(file.readAll().toStdString(), settings_to_toml(saved));
        // Settings changed behind a slider's back show in its next tooltip.
        QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), form.TrackBar2->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(form.TrackBar2, &tip);
        QVERIFY2(form.TrackBar2->toolTip().startsWith("Channel 2 shows "),
                 qPrintable(form.TrackBar2->toolTip()));
    }
};

QTEST_MAIN(Form1SettingsTest)
#include "form1_settings_test.moc"
