// Help inside the window: a tooltip on every control, "Keys and shortcuts"
// (the table of keyboard and mouse inputs) and "About".
#include <QAction>
#include <QMenu>
#include <QMessageBox>

#include "app/window/form1.h"
#include "runtime/instrument.h"
#include "workbench/controls/key_bindings.h"

namespace {

QMessageBox* message_box(QWidget* parent, const QString& title, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Close, parent);
    box->setTextFormat(Qt::RichText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // The instrument keeps running behind it.
    box->setWindowModality(Qt::NonModal);
    box->show();
    return box;
}

}  // namespace

QString TForm1::slider_tooltip_base(int channel) {
    return QString::fromLatin1(channel_slider(channel == 0 ? 0 : 1).help);
}

// The sliders' tooltips (slider_tooltip_base and the reading) are kept up to
// date by refresh_slider_tooltips.
void TForm1::set_tooltips() {
    for (const Control& c : CONTROLS) {
        const std::string text = tooltip(c, IN_WINDOW);
        auto* widget = findChild<QWidget*>(QString::fromLatin1(c.name));
        if (widget != nullptr && !text.empty()) widget->setToolTip(QString::fromStdString(text));
    }
}

QList<QKeySequence> shortcuts(const char* action) {
    QList<QKeySequence> sequences;
    if (const KeyBinding* binding = find_binding(action))
        for (const std::string& key : keys_of(*binding))
            sequences.append(
                QKeySequence::fromString(QString::fromStdString(key), QKeySequence::PortableText));
    return sequences;
}

void TForm1::add_help_entries() {
    ContextMenu->addSeparator();
    auto* keys = ContextMenu->addAction(QStringLiteral("Keys and shortcuts"));
    keys->setShortcuts(shortcuts("keys_help"));
    connect(keys, &QAction::triggered, this, [this] { show_keys_and_shortcuts(); });
    addAction(keys);
    auto* about = ContextMenu->addAction(QStringLiteral("About"));
    connect(about, &QAction::triggered, this, [this] { show_about(); });
}

QString TForm1::keys_and_shortcuts_text() {
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\">");
    for (const KeyBinding& binding : KEY_BINDINGS) {
        if ((binding.fronts & IN_WINDOW) == 0) continue;
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                    .arg(QString::fromStdString(keys_text(binding)).toHtmlEscaped(),
                         QString::fromUtf8(binding.help).toHtmlEscaped());
    }
    return html + QStringLiteral("</table>");
}

// Asked for again, the open table comes to the front instead of a second one.
void TForm1::show_keys_and_shortcuts() {
    if (keys_box_ == nullptr)
        keys_box_ =
            message_box(this, QStringLiteral("Keys and shortcuts"), keys_and_shortcuts_text());
    keys_box_->raise();
    keys_box_->activateWindow();
}

QString TForm1::about_text() {
    return QStringLiteral(
               "<p><b>DG-2 simulator</b> %1</p>"
               "<p>Firmware version %2</p>"
               "<p>The README (use, shortcuts, scenarios, building) is README.md in the "
               "simulator's source folder:<br>%3</p>")
        .arg(QStringLiteral(DG2_VERSION), QString::fromLatin1(FIRMWARE_VERSION),
             QStringLiteral(DG2_README).toHtmlEscaped());
}

void TForm1::show_about() { message_box(this, QStringLiteral("About"), about_text()); }
