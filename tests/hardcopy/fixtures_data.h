// Image fixtures written by other programs, with the pixels independent
// readers get from them (tools/make_image_fixtures.py writes
// fixtures_data.cpp).
#pragma once

#include <cstddef>

struct ImageFixture {
    const char* name;
    int kind;                // 1 BMP, 2 PCX, 15 PNG
    int width, height;
    int channelBits[3];      // bits per red, green, blue sample stored in the file
    const unsigned char* bytes;
    std::size_t size;
    const int* rgb;          // width x height packed RGB values, top row first
};

extern const ImageFixture kImageFixtures[];
extern const int kImageFixtureCount;
