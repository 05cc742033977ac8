// TEMPORARY STUB: replaced by the fonts and text work.
#include "firmware/lcd/text.h"

void text_normal(u8, u8, const char*, u8, DrawMode, u8) {}
void text_normal_centred(u8, u8, const char*, u8, DrawMode, u8) {}
void text_normal_const(u8, u8, const char*, u8, DrawMode, u8) {}
void text_normal_centred_const(u8, u8, const char*, u8, DrawMode, u8) {}
void text_small(u8, u8, const char*, u8) {}
void text_small_centred(u8, u8, const char*, u8) {}
void text_small_const(u8, u8, const char*, u8) {}
void text_small_centred_const(u8, u8, const char*, u8) {}
void text_tiny(u8, u8, const char*, u8) {}
void text_big(u8, u8, const char*) {}
