#include "app/window/value_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "workbench/sensors/sensor_value.h"

namespace {

// The desktop's way of writing a number first, then the plain one.
bool read_number(const QString& text, double& number) {
    bool ok = false;
    number = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok) number = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok;
}

}  // namespace

ValueDialog::ValueDialog(QWidget* parent, u8 channel, u32 count, std::function<void(double)> chosen)
    : QDialog(parent), channel_(channel), chosen_(std::move(chosen)) {
    const QString name = QStringLiteral("Channel %1").arg(channel + 1);
    setWindowTitle(name + QStringLiteral(" value"));
    ValueRange range;
    std::string why;
    channel_value_range(channel, range, why);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("%1 shows %2 to %3.\nValue in %4:")
                       .arg(name, QString::fromStdString(value_text(range, range.low)),
                            QString::fromStdString(value_text(range, range.high)),
                            QString::fromStdString(range.unit)),
                   this));
    // The number alone, without its unit.
    const QString now = QString::fromStdString(value_text(range, value_at_count(channel, count)));
    number_ = new QLineEdit(now.left(now.indexOf(QLatin1Char(' '))), this);
    number_->selectAll();
    layout->addWidget(number_);
    reason_ = new QLabel(this);
    reason_->setWordWrap(true);
    // Room for a reason from the start, so the dialog keeps its size.
    reason_->setMinimumHeight(2 * reason_->fontMetrics().lineSpacing());
    layout->addWidget(reason_);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(number_, &QLineEdit::textChanged, this, [this] { check(); });
    connect(this, &QDialog::accepted, this, [this] {
        if (chosen_) chosen_(value_);
    });
    check();
}

QString ValueDialog::refusal() const {
    double number = 0;
    if (number_->text().trimmed().isEmpty()) return QStringLiteral("Type a number.");
    if (!read_number(number_->text(), number))
        return QStringLiteral("\"%1\" is not a number.").arg(number_->text().trimmed());
    u32 count = 0;
    std::string why;
    if (!count_for_value(channel_, number, count, why)) return QString::fromStdString(why) + '.';
    return QString();
}

void ValueDialog::check() {
    const QString why = refusal();
    reason_->setText(why);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(why.isEmpty());
    if (why.isEmpty()) read_number(number_->text(), value_);
}
