// The window, keeping the frame it showed at every message point.
#pragma once

#include <string>
#include <vector>

#include "tests/window/test_form.h"
#include "workbench/scenario/expectations.h"

class FrameKeepingForm : public TestForm {
public:
    void process_messages() override {
        frames.push_back(frame_as_text());
        TForm1::process_messages();
    }
    std::vector<std::string> frames;
};
