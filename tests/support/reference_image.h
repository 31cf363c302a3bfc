// Reference pictures: a picture drawn by a test (packed RGB values, red +
// 256 green + 65536 blue, rows from the top) compared with a PNG committed
// in tests/reference_images/, within a stated tolerance.
//
// To make or renew the references, run the tests with the environment
// variable KESTROW_UPDATE_REFERENCES=1: each comparison then writes its
// picture as the new reference instead (and passes), e.g.
//   KESTROW_UPDATE_REFERENCES=1 ./scripts/test.sh -R fonts
// and look at the changed PNG files before committing them. A failing
// comparison leaves the picture it got as NAME.actual.png in the temporary
// folder and names it in the message.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

// The pixels of the rectangle of WIDTH x HEIGHT at (X, Y) of device context
// SOURCE (a window's, the screen's) as packed RGB values, rows from the top;
// empty when the size is not positive or the copy cannot be made.
std::vector<int> DcPixels(HDC source, int x, int y, int width, int height);

// What may differ: a pixel counts as different when one of its channels
// differs by more than CHANNEL; at most PIXELS such pixels pass.
struct ImageTolerance {
    int channel = 0;
    long long pixels = 0;
};

// Compares the picture of WIDTH x HEIGHT pixels RGB with the reference NAME
// (the file NAME.png), or writes it there when references are renewed.
testing::AssertionResult MatchesReferenceImage(const std::string& name, int width, int height,
                                               const std::vector<int>& rgb, ImageTolerance tolerance);
