#include "app/headless/fake_host.h"

#include "firmware/firmware.h"

static u32 fake_unlit() { return FAKE_UNLIT; }

FakeHost::FakeHost() : pixels(PICTURE_WIDTH * PICTURE_HEIGHT, 0) {
    canvas = LcdCanvas{pixels.data(), PICTURE_WIDTH, PICTURE_WIDTH, PICTURE_HEIGHT, fake_unlit};
}

void FakeHost::at(int call, Action action) { script_.emplace_back(call, std::move(action)); }

void FakeHost::process_messages() {
    ++calls;
    const int now = calls;
    // Actions may add further actions or re-enter power_on; iterate by index.
    for (size_t i = 0; i < script_.size(); ++i) {
        if (script_[i].first == now) {
            Action action = script_[i].second;
            action(*this);
        }
    }
    if (calls >= max_calls) request_power_off();
}

void FakeHost::set_lamp_colour(u32 colour) {
    lamp = colour;
    lamp_history.push_back(colour);
}
