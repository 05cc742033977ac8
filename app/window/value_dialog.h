// "Channel N value...": a number in the channel's unit. What is typed stays
// as typed; a number the channel cannot show, or text that is no number, is
// refused with the reason under it, and OK waits for one it can take.
#pragma once

#include <QDialog>
#include <functional>

#include "firmware/core/types.h"

class QDialogButtonBox;
class QLabel;
class QLineEdit;

class ValueDialog : public QDialog {
public:
    // Offers what the channel shows at `count` (its slider's position);
    // `chosen` gets the number once OK takes it.
    ValueDialog(QWidget* parent, u8 channel, u32 count, std::function<void(double)> chosen);

    // Why the text as it stands cannot be taken; empty when it can.
    QString refusal() const;

private:
    void check();

    u8 channel_;
    std::function<void(double)> chosen_;
    QLineEdit* number_;
    QLabel* reason_;
    QDialogButtonBox* buttons_;
    double value_ = 0;
};
