// Metafile slots: the destroy errors, an enhanced-metafile slot recorded as
// the drawing target and read back by readers this project did not write,
// closed slots that can no longer be selected, and loading bad and cut
// files.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/bitmaps.h"
#include "graphics/graphics_fixture.h"
#include "graphics/metafile_headers.h"
#include "graphics/metafile_slots.h"
#include "graphics/rectangles.h"
#include "hardcopy/driver_wmf.h"
#include "hardcopy/image_reader.h"
#include "scratch_files.h"
#include "unix_tools.h"

namespace {

constexpr int kRed = 0x0000FF, kBlue = 0xFF0000;

// The bytes of fixture resource ID (metafile_fixtures.rc).
std::vector<uint8_t> Fixture(int id)
{
    HRSRC r = FindResourceA(nullptr, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_RCDATA));
    HGLOBAL g = r ? LoadResource(nullptr, r) : nullptr;
    const auto* p = g ? static_cast<const uint8_t*>(LockResource(g)) : nullptr;
    return p ? std::vector<uint8_t>(p, p + SizeofResource(nullptr, r)) : std::vector<uint8_t>{};
}

class MetafileSlotsTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    void SetUp() override
    {
        for (int s = 1; s <= kMetafileSlotCount; ++s)
            MetafileSlotRelease(s);
        GraphicsState& g = gGraphicsState;
        g.screenOutput = 1;
        g.hardcopyOpen = 0;
        g.colourModel = kColourModelRgb;
        g.fillMode = kFillSolid;
        g.outline = 0;
        g.plotMode = 0;
        g.lineStyle = 0;
        g.lineWidth = 1;
        g.pageRotation = 0;
        g.textGeometryFrozen = 0;
        g.areaFractions = {0, 0, 1, 1};
        gErrorState.lastCode = 0;
    }
    void TearDown() override
    {
        for (int s = 1; s <= kMetafileSlotCount; ++s)
            MetafileSlotRelease(s);
        BitmapTableDestroyAll();
    }
    // The scene: left half red, right half blue, on the selected target.
    static void Scene()
    {
        IGrUnits(0, 0, 1, 1);
        MemorySurface::SetColours(kWhite, kRed);
        IGrRectangle(0, 0, 0.5f, 1);
        MemorySurface::SetColours(kRed, kBlue);
        IGrRectangle(0.5f, 0, 1, 1);
    }
};

TEST_F(MetafileSlotsTest, DestroyErrors)
{
    for (int slot : {0, 21, -1, 5}) {
        gErrorState.lastCode = 0;
        WMetafileDestroy(slot);
        EXPECT_EQ(gErrorState.lastCode, 1060) << slot;
    }
    int status = -1;
    MetafileSlotEnhancedCreate(5, 72, 36, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(MetafileSlotKind(5), 3);
    gErrorState.lastCode = 0;
    WMetafileDestroy(5);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(MetafileSlotKind(5), 0);
    int physical = -1, pixels = -1;
    MetafileSlotWidths(5, physical, pixels);
    EXPECT_EQ(physical + pixels, 0);
    MetafileSlotEnhancedCreate(21, 72, 36, status);
    EXPECT_EQ(status, 1060);
    MetafileSlotEnhancedCreate(2, 0, 36, status);
    EXPECT_EQ(status, 1059);
}

// A slot of 72 x 36 points recorded through IGrSelect, copied to a file:
// the frame is 2540 x 1270 hundredths of a millimetre, and the picture the
// readers make of it has the colours of the same scene drawn into a bitmap.
TEST_F(MetafileSlotsTest, ARecordedSlotReadsBackAsTheScene)
{
    int status = -1;
    MetafileSlotEnhancedCreate(3, 72, 36, status);
    ASSERT_EQ(status, 0);
    const int slot = 3;
    IGrSelect(kTargetMetafileSlot, &slot);
    ASSERT_EQ(gErrorState.lastCode, 0);
    ASSERT_EQ(gGraphicsState.targetKind, kTargetMetafileSlot);
    EXPECT_EQ(gDeviceCapabilityString[kScreenSide][28], '0');
    Scene();

    // The same scene in a bitmap of the slot's pixel size.
    int physical = 0, width = 0;
    MetafileSlotWidths(slot, physical, width);
    EXPECT_EQ(physical, 72);
    const int height = gMetafileTable.slot[2].pixelHeight;
    int handle = 0;
    BitmapSlotCreate(handle, width, height, kWhite);
    IGrSelect(kTargetBitmap, &handle);
    ASSERT_EQ(gGraphicsState.targetKind, kTargetBitmap);
    Scene();
    std::vector<int> drawn(static_cast<size_t>(width * height));
    BitmapGetPixels(handle - 1, drawn, 0, 0, width - 1, height - 1, status);
    ASSERT_EQ(status, 0);

    const std::string emf = TempName("slot.emf");
    int error = 0;
    EnhMetafileCopy(slot - 1, status, error, emf);
    ASSERT_EQ(status, 0) << error;
    const std::vector<uint8_t> bytes = ReadAll(emf);
    ASSERT_TRUE(EmfHeaderValid(bytes));
    EXPECT_EQ(EmfHeaderFrame(bytes), (std::array<int32_t, 4>{0, 0, 2540, 1270}));
    // Copying closed the recording: the slot can no longer be the target.
    gErrorState.lastCode = 0;
    IGrSelect(kTargetMetafileSlot, &slot);
    EXPECT_EQ(gErrorState.lastCode, 1019);
    EXPECT_EQ(gGraphicsState.targetKind, kTargetWindow);
    // The dialog field's copy of it.
    HENHMETAFILE copy = MetafileSlotCopy(slot);
    EXPECT_TRUE(copy);
    DeleteEnhMetaFile(copy);

    if (unixtools::Available("/usr/bin/printemf")) {
        std::string out;
        EXPECT_EQ(unixtools::Run("/usr/bin/printemf '" + unixtools::UnixPath(emf) + "'", &out), 0) << out;
        const size_t at = out.find("rclFrame");
        ASSERT_NE(at, std::string::npos) << out;
        const std::string line = out.substr(at, out.find('\n', at) - at);
        EXPECT_NE(line.find("2540"), std::string::npos) << line;
        EXPECT_NE(line.find("1270"), std::string::npos) << line;
    } else {
        std::printf("printemf is missing: the frame was checked from the header bytes only\n");
    }
    if (!unixtools::Available("/usr/bin/emf2svg-conv") || !unixtools::Available("/usr/bin/rsvg-convert") ||
        !unixtools::Available("/usr/bin/xmllint")) {
        DeleteFileA(emf.c_str());
        GTEST_SKIP() << "emf2svg-conv, xmllint or rsvg-convert is missing";
    }
    const std::string svg = TempName("slot.svg"), png = TempName("slot.png");
    std::string out;
    ASSERT_EQ(unixtools::Run("/usr/bin/emf2svg-conv -i '" + unixtools::UnixPath(emf) + "' -o '" +
                                 unixtools::UnixPath(svg) + "'", &out), 0) << out;
    ASSERT_EQ(unixtools::Run("/usr/bin/xmllint --noout '" + unixtools::UnixPath(svg) + "'", &out), 0) << out;
    ASSERT_EQ(unixtools::Run("/usr/bin/rsvg-convert -w 200 -h 100 -b white -o '" + unixtools::UnixPath(png) +
                                 "' '" + unixtools::UnixPath(svg) + "'", &out), 0) << out;
    std::vector<uint8_t> file;
    int osError = 0, zlib = 0;
    ASSERT_EQ(ImageFileLoad(png, file, osError), 0);
    ImageHeader header;
    std::vector<int> read;
    ASSERT_EQ(ImageDecode(file, header, read, zlib), 0);
    ASSERT_EQ(header.width, 200);
    for (double fx : {0.2, 0.4, 0.6, 0.8}) {
        for (double fy : {0.3, 0.7}) {
            const int a = drawn[static_cast<size_t>(static_cast<int>(fy * height) * width + static_cast<int>(fx * width))];
            const int b = read[static_cast<size_t>(static_cast<int>(fy * header.height) * header.width +
                                                   static_cast<int>(fx * header.width))];
            EXPECT_EQ(a, fx < 0.5 ? kRed : kBlue) << fx << "," << fy;
            EXPECT_EQ(b & 0xFFFFFF, a) << fx << "," << fy;
        }
    }
    for (const std::string& f : {emf, svg, png})
        DeleteFileA(f.c_str());
}

// Destroying the slot that is the target, or playing it, gives the target
// back to the window without error 1019.
TEST_F(MetafileSlotsTest, ClosingTheTargetSlotSelectsTheWindow)
{
    int status = -1;
    const int slot = 7;
    MetafileSlotEnhancedCreate(slot, 100, 100, status);
    IGrSelect(kTargetMetafileSlot, &slot);
    ASSERT_EQ(gGraphicsState.targetKind, kTargetMetafileSlot);
    EnhMetafilePlay(slot - 1, 0, 0, 10, 10);
    EXPECT_EQ(gGraphicsState.targetKind, kTargetWindow);
    EXPECT_NE(gErrorState.lastCode, 1019);
    EXPECT_EQ(gGdiSurfaceState.metafileDC, nullptr);

    MetafileSlotEnhancedCreate(slot, 100, 100, status);
    IGrSelect(kTargetMetafileSlot, &slot);
    ASSERT_EQ(gGraphicsState.targetKind, kTargetMetafileSlot);
    gErrorState.lastCode = 0;
    WMetafileDestroy(slot);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(gGraphicsState.targetKind, kTargetWindow);
    EXPECT_EQ(MetafileSlotKind(slot), 0);
}

// Loading: every cut of a good file at a header boundary, sizes 0,
// negative or beyond the file, a PNG named .emf and a missing file give
// their status and no metafile.
TEST_F(MetafileSlotsTest, LoadingBadAndCutFiles)
{
    int status = -1, error = 0;
    MetafileSlotEnhancedCreate(1, 72, 36, status);
    const int slot = 1;
    IGrSelect(kTargetMetafileSlot, &slot);
    Scene();
    const std::string good = TempName("good.emf");
    EnhMetafileCopy(0, status, error, good);
    ASSERT_EQ(status, 0);
    const std::vector<uint8_t> bytes = ReadAll(good);
    ASSERT_GT(bytes.size(), kEmfHeaderMinimum);

    EnhMetafileLoad(4, static_cast<int>(bytes.size()), status, error, good);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(gEnhMetafileState.closed[4]);
    MetafileSlotEnhancedLoad(6, good, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(MetafileSlotKind(6), 3);
    EXPECT_EQ(gMetafileTable.slot[5].physicalWidth, 72);

    const std::string cut = TempName("cut.emf");
    for (size_t size : {size_t{0}, size_t{4}, size_t{8}, size_t{40}, size_t{44}, size_t{52}, size_t{79},
                        size_t{80}, bytes.size() - 1}) {
        WriteAll(cut, std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(size)));
        EnhMetafileLoad(4, static_cast<int>(size), status, error, cut);
        EXPECT_EQ(status, size == 0 ? 2 : 3) << size;
        EXPECT_FALSE(gEnhMetafileState.closed[4]);
    }
    for (int size : {0, -5, static_cast<int>(bytes.size()) + 1}) {
        EnhMetafileLoad(4, size, status, error, good);
        EXPECT_EQ(status, 2) << size;
    }
    // A PNG under an EMF name.
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    png.resize(200, 0);
    WriteAll(cut, png);
    EnhMetafileLoad(4, 200, status, error, cut);
    EXPECT_EQ(status, 3);
    MetafileSlotEnhancedLoad(6, cut, status);
    EXPECT_EQ(status, 1061);
    EnhMetafileLoad(4, 10, status, error, TempName("missing.emf"));
    EXPECT_EQ(status, 1);
    EXPECT_NE(error, 0);
    DeleteFileA(cut.c_str());
    DeleteFileA(good.c_str());
}

// Metafiles another program wrote load into a slot and play: the enhanced
// one through the slot, the placeable one through the playback routine.
TEST_F(MetafileSlotsTest, MetafilesLibreOfficeWroteLoadAndPlay)
{
    const std::string emf = TempName("lo.emf"), wmf = TempName("lo.wmf");
    WriteAll(emf, Fixture(401));
    WriteAll(wmf, Fixture(402));
    int status = -1;
    MetafileSlotEnhancedLoad(2, emf, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(MetafileSlotKind(2), 3);
    {
        MemorySurface surface(200, 100);
        EnhMetafilePlay(1, 0, 0, 199, 99);
        EXPECT_EQ(surface.Pixel(40, 50), kRed);
        EXPECT_EQ(surface.Pixel(160, 50), kBlue);
    }
    {
        MemorySurface surface(200, 100);
        int result = -1;
        MetafilePlayToTarget(1, 0, 0, 199, 99, 0, 0, 0, 0, result, wmf);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(surface.Pixel(40, 50), kRed);
        EXPECT_EQ(surface.Pixel(160, 50), kBlue);
    }
    DeleteFileA(emf.c_str());
    DeleteFileA(wmf.c_str());
}

} // namespace
