#include "firmware/core/page_names.h"

#include <cstring>

#include "firmware/core/page_handlers.h"

namespace {

struct NamedPage {
    const char* name;
    PageHandler page;
};

constexpr NamedPage PAGES[] = {
    {"run", page_run_screen},        {"max", page_max_values},    {"main", page_main_menu},
    {"display", page_display_setup}, {"contrast", page_contrast}, {"channel", page_channel_setup},
    {"curve", page_sender_curve},    {"adc", page_adc_values},    {"calibrate", page_calibrate},
    {"message", page_message},
};

}  // namespace

const char* page_name(PageHandler page) {
    for (const NamedPage& p : PAGES)
        if (p.page == page) return p.name;
    return "?";
}

PageHandler page_by_name(const char* name) {
    for (const NamedPage& p : PAGES)
        if (std::strcmp(p.name, name) == 0) return p.page;
    return nullptr;
}
