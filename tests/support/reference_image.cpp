#include "support/reference_image.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <span>

#include "hardcopy/image_reader.h"
#include "hardcopy/image_writers.h"

namespace {

// The folder of the references as a Windows path (the source tree seen
// through Wine's drive Z:).
std::string ReferenceFolder()
{
    std::string path = std::string("Z:") + KESTROW_TEST_SOURCE_DIR + "/reference_images";
    for (char& ch : path)
        if (ch == '/')
            ch = '\\';
    return path;
}

bool Renewing()
{
    const char* v = std::getenv("KESTROW_UPDATE_REFERENCES");
    return v && *v && std::string(v) != "0";
}

// PATH := the picture as an RGB PNG; false when it cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<int>& rgb)
{
    PictureData picture;
    picture.width = width;
    picture.height = height;
    picture.values = rgb;
    std::vector<std::uint8_t> bytes;
    int zlibStatus = 0, osError = 0;
    return PngEncode(picture, 8, bytes, zlibStatus) == 0 && ImageBytesWrite(path, bytes, osError) == 0;
}

int Channel(int rgb, int shift) { return (rgb >> shift) & 0xFF; }

} // namespace

std::vector<int> DcPixels(HDC source, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<int> rgb;
    if (dib && bits) {
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
        GdiFlush();
        rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        const auto* p = static_cast<const unsigned*>(bits); // 0x00RRGGBB
        for (size_t i = 0; i < rgb.size(); ++i)
            rgb[i] = static_cast<int>(((p[i] >> 16) & 0xFF) | (p[i] & 0xFF00) | ((p[i] & 0xFF) << 16));
        SelectObject(memory, old);
    }
    if (dib)
        DeleteObject(dib);
    DeleteDC(memory);
    return rgb;
}

testing::AssertionResult MatchesReferenceImage(const std::string& name, int width, int height,
                                               const std::vector<int>& rgb, ImageTolerance tolerance)
{
    const std::string path = ReferenceFolder() + "\\" + name + ".png";
    if (rgb.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return testing::AssertionFailure() << name << ": the picture has " << rgb.size() << " pixels, not "
                                           << width << " x " << height;
    if (Renewing()) {
        if (!WritePng(path, width, height, rgb))
            return testing::AssertionFailure() << "cannot write the reference " << path;
        std::printf("[ reference ] wrote %s\n", path.c_str());
        return testing::AssertionSuccess();
    }

    std::vector<std::uint8_t> bytes;
    int osError = 0;
    if (ImageFileLoad(path, bytes, osError) != 0)
        return testing::AssertionFailure() << "no reference " << path
                                           << " (KESTROW_UPDATE_REFERENCES=1 writes it)";
    ImageHeader header;
    std::vector<int> want;
    int zlibStatus = 0;
    if (ImageDecode(bytes, header, want, zlibStatus) != 0)
        return testing::AssertionFailure() << "the reference " << path << " does not decode";

    testing::AssertionResult result = testing::AssertionSuccess();
    if (header.width != width || header.height != height) {
        result = testing::AssertionFailure() << name << ": " << width << " x " << height << " pixels, the reference "
                                             << header.width << " x " << header.height;
    } else {
        long long differing = 0;
        int firstX = -1, firstY = -1;
        for (size_t i = 0; i < rgb.size(); ++i) {
            bool differs = false;
            for (int shift : {0, 8, 16})
                if (std::abs(Channel(rgb[i], shift) - Channel(want[i], shift)) > tolerance.channel)
                    differs = true;
            if (differs && differing++ == 0) {
                firstX = static_cast<int>(i % static_cast<size_t>(width));
                firstY = static_cast<int>(i / static_cast<size_t>(width));
            }
        }
        if (differing <= tolerance.pixels) {
            if (differing > 0)
                std::printf("[ reference ] %s: %lld pixels differ (%lld allowed)\n", name.c_str(), differing,
                            tolerance.pixels);
            return testing::AssertionSuccess();
        }
        result = testing::AssertionFailure() << name << ": " << differing << " pixels differ (" << tolerance.pixels
                                             << " allowed), the first at (" << firstX << ", " << firstY << ")";
    }
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string actual = std::string(temp) + name + ".actual.png";
    if (WritePng(actual, width, height, rgb))
        result << "; the picture drawn is " << actual;
    return result;
}
