#pragma once

#include "tests/window/test_form.h"

// The window, counting the main loop's passes (each hides the LCD picture
// once), for tests that wait for the instrument to get on.
class CountingForm : public TestForm {
public:
    void hide_lcd_picture() override {
        ++passes;
        TForm1::hide_lcd_picture();
    }
    int passes = 0;
};
