// Every page of the instrument, for the hand-over of the page contract
// (keys.h): the run-mode pages (screens/) and the setup pages (menus/). A
// page opens another by assigning its handler to current_page.
#pragma once

void page_run_screen();
void page_max_values();

void page_main_menu();
void page_message();
void page_display_setup();
void page_contrast();
void page_adc_values();
void page_channel_setup();
void page_calibrate();
void page_sender_curve();
