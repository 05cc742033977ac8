#include "workbench/pictures/lcd_picture.h"

TwoColourImage lcd_image(const std::vector<u8>& lit, int zoom, u32 unlit, u32 lit_colour) {
    TwoColourImage image;
    image.width = LCD_WIDTH;
    image.height = LCD_HEIGHT;
    image.lit = lit;
    image.background = unlit;
    image.foreground = lit_colour;
    return enlarged(image, zoom);
}
