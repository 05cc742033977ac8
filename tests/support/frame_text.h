// The frame buffer as text: 64 lines of 114 characters, '#' lit, '.' unlit.
// Whole-screen goldens are stored this way under tests/golden/.
#pragma once

#include <gtest/gtest.h>

#include <string>

std::string frame_to_text();

// Compares the frame buffer with tests/golden/<name>.txt. With the
// environment variable DG2_UPDATE_GOLDENS=1 the golden is (re)written instead;
// look at every rewritten golden before committing it.
::testing::AssertionResult matches_golden(const std::string& name);

// Lit pixels of a rectangle of the frame buffer as text rows, for focused
// assertions: rows y0..y1, columns x0..x1 inclusive.
std::string frame_region(int x0, int y0, int x1, int y1);
