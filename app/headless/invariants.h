// What must hold after every pass of the main loop, whatever the user did:
// every global of the instrument inside the range its pages keep it in, the
// cursor on a line the current page has, the pending key consumed, and the
// LCD picture showing exactly the frame buffer.
#pragma once

#include "app/headless/headless_host.h"
#include "firmware/core/keys.h"
#include "firmware/core/page_names.h"

class InvariantChecker {
public:
    // After each completed pass. Returns nullptr while everything holds, else
    // a description of the first broken rule, valid until the next call.
    const char* after_pass(const HeadlessHost& host);

    // After a pass drawn into a picture that was filled with `outside` first:
    // every 2 x 2 block shows its frame buffer pixel and nothing outside the
    // 228 x 128 area was touched.
    const char* check_picture(const HeadlessHost& host, u32 outside);

    // Both checks for the soak and the fuzzer, which draw only an occasional
    // pass into a picture: a picture pass is checked too, and the picture is
    // detached again afterwards.
    const char* after_pass_sampled(const HeadlessHost& host, bool& picture_pass, u32 outside);

    // Forget the page history (at power-on).
    void restart() { previous_page_ = nullptr; }

    // The settings record was overwritten with arbitrary bytes (the fuzzer
    // does so). Power-on restores all but lm335_offset, and the pages cope
    // with any code, but the record's fields are no longer held to the
    // ranges the menus keep them in, nor the cursor to the lines those
    // fields give a page. Holds for the rest of the checker's life.
    void accept_any_settings() { any_settings_ = true; }

private:
    const char* check_globals(const HeadlessHost& host);
    const char* check_settings();
    const char* check_cursor();
    const char* fail(const char* format, ...) __attribute__((format(printf, 2, 3)));

    PageHandler previous_page_ = nullptr;
    u8 previous_cursor_ = 0;
    bool any_settings_ = false;
    char message_[200] = {};
};
