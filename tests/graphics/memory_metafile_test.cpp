// The memory metafile: creation and its refusals, the life cycle (select,
// open, draw, close, save to a file and to the clipboard, destroy), a
// closed slot that cannot be selected again, the driver's attribute caches
// and shapes, and a full buffer that drops whole elements yet keeps a
// complete metafile. The bytes are read by the test walker.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../hardcopy/cgm_walker.h"
#include "../hardcopy/scratch_files.h"
#include "core/error_codes.h"
#include "core/window_table.h"
#include "graphics/graphics_fixture.h"
#include "graphics/metafile_slots.h"
#include "hardcopy/memory_metafile.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int kRed = 0x0000FF, kBlue = 0xFF0000;

std::vector<std::string> gReports;

class MemoryMetafileTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    void SetUp() override
    {
        for (int s = 1; s <= kMetafileSlotCount; ++s)
            MetafileSlotRelease(s);
        GraphicsState& g = gGraphicsState;
        g.targetKind = kTargetWindow;
        g.targetId = 0;
        g.memoryMetafileRouting = 0;
        g.screenOutput = 1;
        g.hardcopyOpen = 0;
        g.colourModel = kColourModelRgb;
        g.currentRgb = kBlack;
        g.previousRgb = kWhite;
        g.currentNumber = g.previousNumber = -1;
        g.fillMode = kFillSolid;
        g.lineStyle = 0;
        g.metafileLineWidth = 5;
        g.pageRotation = 0;
        g.areaFractions = {0, 0, 1, 1};
        g.areaFractionSize = {1, 1};
        g.textGeometryFrozen = 0;
        gErrorState.lastCode = 0;
        gReports.clear();
        YYErrorLevelSet(kReportStatusBar);
        ErrorStatusBarDeliverySet([](std::string_view line) { gReports.emplace_back(line); });
    }
    void TearDown() override
    {
        ErrorStatusBarDeliverySet(nullptr);
        for (int s = 1; s <= kMetafileSlotCount; ++s)
            MetafileSlotRelease(s);
    }
    static Bytes BytesOf(int slot)
    {
        const auto b = MemoryMetafileBytes(slot);
        return Bytes(b.begin(), b.end());
    }
    static int Reports(int code, std::string_view name)
    {
        const std::string line = ErrorLineCompose(code, name);
        int n = 0;
        for (const std::string& r : gReports)
            n += r == line ? 1 : 0;
        return n;
    }
    static void Colour(int previous, int current)
    {
        gGraphicsState.previousRgb = previous;
        gGraphicsState.currentRgb = current;
        YYScreenDeviceCall(DeviceOp::kColour);
    }
    static void Line(int x1, int y1, int x2, int y2)
    {
        DeviceParameterBlock& b = gDeviceParameterBlock;
        b.IX[0] = x1;
        b.IY[0] = y1;
        b.IX[1] = x2;
        b.IY[1] = y2;
        YYScreenDeviceCall(DeviceOp::kLine);
    }
    // A memory metafile of 800 x 600 points, selected and open.
    static int Open(int capacity = 1 << 20)
    {
        const int slot = WMetafileCgmCreate(800, 600, capacity);
        EXPECT_GT(slot, 0);
        WMetafileCgmBegin(slot);
        return slot;
    }
    static cgmwalk::Walk Walked(const Bytes& bytes)
    {
        cgmwalk::Walk w = cgmwalk::WalkCgm(bytes);
        EXPECT_TRUE(w.ok) << w.error;
        return w;
    }
};

TEST_F(MemoryMetafileTest, CreationRefusals)
{
    const int minimum = MemoryMetafileMinimumCapacity();
    struct Case {
        int width, height, capacity;
    };
    for (const Case& c : {Case{0, 600, 1000}, Case{800, 0, 1000}, Case{-5, 600, 1000}, Case{800, -1, 1000},
                          Case{800, 600, minimum - 1}, Case{800, 600, 0}, Case{800, 600, -1}}) {
        gErrorState.lastCode = 0;
        EXPECT_EQ(WMetafileCgmCreate(c.width, c.height, c.capacity), 0) << c.width << " " << c.capacity;
        EXPECT_EQ(gErrorState.lastCode, kErrorMetafileCreate);
    }
    EXPECT_EQ(Reports(kErrorMetafileCreate, "WMetafileCgmCreate"), 7);
    // The smallest capacity holds the opening and the end: a whole metafile.
    const int slot = WMetafileCgmCreate(800, 600, minimum);
    ASSERT_EQ(slot, 1);
    WMetafileCgmBegin(slot);
    Line(0, 0, 10, 10);
    WMetafileCgmClose(slot);
    const cgmwalk::Walk w = Walked(BytesOf(slot));
    EXPECT_EQ(static_cast<int>(BytesOf(slot).size()), minimum);
    EXPECT_EQ(w.CountOf(4, 1), 0);
    // Twenty slots, then none free.
    for (int s = 2; s <= kMetafileSlotCount; ++s)
        EXPECT_EQ(WMetafileCgmCreate(10, 10, minimum), s);
    gErrorState.lastCode = 0;
    EXPECT_EQ(WMetafileCgmCreate(10, 10, minimum), 0);
    EXPECT_EQ(gErrorState.lastCode, kErrorMetafileCreate);
}

TEST_F(MemoryMetafileTest, LifeCycle)
{
    const int slot = WMetafileCgmCreate(800, 600, 1 << 16);
    ASSERT_GT(slot, 0);
    // Selected, the slot is a target of its VDC size; nothing is written
    // before the picture opens.
    IGrSelect(kTargetMetafileSlot, &slot);
    EXPECT_EQ(gGraphicsState.targetWidth, 6666);
    EXPECT_EQ(gGraphicsState.targetHeight, 5000);
    Line(0, 0, 10, 10);
    EXPECT_TRUE(BytesOf(slot).empty());

    WMetafileCgmBegin(slot);
    Colour(kWhite, kRed);
    Line(0, 0, 100, 100);
    Line(100, 100, 200, 0);
    YYScreenDeviceCall(DeviceOp::kBeginPlot);
    Line(1, 1, 2, 2);
    WMetafileCgmClose(slot);
    EXPECT_EQ(gGraphicsState.targetKind, kTargetWindow);
    EXPECT_EQ(gGraphicsState.memoryMetafileRouting, 0);
    const Bytes bytes = BytesOf(slot);
    const cgmwalk::Walk w = Walked(bytes);
    EXPECT_EQ(w.pictures, 1);
    // The picture states the drawing state after its descriptor.
    const auto body = std::find_if(w.elements.begin(), w.elements.end(),
                                   [](const cgmwalk::Element& e) { return e.Is(0, 4); });
    ASSERT_NE(body, w.elements.end());
    std::vector<std::pair<int, int>> stated;
    for (auto e = body + 2; e != w.elements.end() && e->cls != 4; ++e)
        stated.emplace_back(e->cls, e->id);
    for (std::pair<int, int> s : {std::pair{5, 3}, {5, 2}, {3, 6}, {3, 5}, {5, 10}, {5, 15}})
        EXPECT_NE(std::find(stated.begin(), stated.end(), s), stated.end()) << s.first << "," << s.second;
    EXPECT_EQ(w.All(2, 6)[0]->Word(4), 6666);
    EXPECT_EQ(w.All(5, 3)[0]->Word(0), 5 * 6666 / 8000);
    // One LINE COLOUR for the two red lines, another after op 18.
    EXPECT_EQ(w.CountOf(5, 4), 2);
    EXPECT_EQ(w.CountOf(4, 1), 3);

    // Closed: no longer a target, not opened again.
    gErrorState.lastCode = 0;
    IGrSelect(kTargetMetafileSlot, &slot);
    EXPECT_EQ(gErrorState.lastCode, kErrorDrawingTarget);
    EXPECT_EQ(gGraphicsState.targetKind, kTargetWindow);
    WMetafileCgmBegin(slot);
    EXPECT_EQ(gErrorState.lastCode, kErrorMetafileHandle);

    // Saved to a file and to the clipboard, byte for byte.
    const std::string file = TempName("memory_save.cgm");
    gErrorState.lastCode = 0;
    WMetafileCgmSave(slot, file);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(ReadAll(file), bytes);
    DeleteFileA(file.c_str());
    WMetafileCgmSave(slot, "   ");
    EXPECT_EQ(gErrorState.lastCode, 0);
    const UINT format = RegisterClipboardFormatA("Quillodrane CGM");
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE h = GetClipboardData(format);
    ASSERT_TRUE(h);
    const auto* p = static_cast<const uint8_t*>(GlobalLock(h));
    ASSERT_TRUE(p);
    const Bytes clip(p, p + bytes.size());
    GlobalUnlock(h);
    CloseClipboard();
    EXPECT_EQ(clip, bytes);
    WMetafileCgmSave(slot, TempName("no_such_folder\\x.cgm"));
    EXPECT_EQ(gErrorState.lastCode, kErrorFileOpen);

    WMetafileDestroy(slot);
    EXPECT_EQ(MetafileSlotKind(slot), kMetafileFree);
    EXPECT_TRUE(MemoryMetafileBytes(slot).empty());
    gErrorState.lastCode = 0;
    for (auto call : {+[](int s) { WMetafileCgmBegin(s); }, +[](int s) { WMetafileCgmClose(s); },
                      +[](int s) { WMetafileCgmSave(s, "x.cgm"); }, +[](int s) { WMetafileDestroy(s); }}) {
        for (int s : {slot, 0, 21}) {
            gErrorState.lastCode = 0;
            call(s);
            EXPECT_EQ(gErrorState.lastCode, kErrorMetafileHandle) << s;
        }
    }
}

TEST_F(MemoryMetafileTest, SavingClosesAndDestroyingTheTargetSelectsTheWindow)
{
    // A slot never opened is saved as a whole, empty picture.
    const int quiet = WMetafileCgmCreate(100, 100, 4096);
    const std::string file = TempName("memory_quiet.cgm");
    WMetafileCgmSave(quiet, file);
    EXPECT_EQ(Walked(ReadAll(file)).pictures, 1);
    DeleteFileA(file.c_str());

    // Saving an open picture closes it first.
    const int slot = Open();
    Line(0, 0, 5, 5);
    WMetafileCgmSave(slot, TempName("memory_open.cgm"));
    EXPECT_TRUE(MemoryMetafileClosed(slot));
    EXPECT_EQ(Walked(BytesOf(slot)).CountOf(4, 1), 1);
    DeleteFileA(TempName("memory_open.cgm").c_str());

    const int target = Open();
    gErrorState.lastCode = 0;
    WMetafileDestroy(target);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(gGraphicsState.targetKind, kTargetWindow);
    EXPECT_EQ(gGraphicsState.memoryMetafileRouting, 0);
}

TEST_F(MemoryMetafileTest, Shapes)
{
    GraphicsState& g = gGraphicsState;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    const int slot = Open();
    // Half-tone red over blue: the mean.
    g.fillMode = kFillHalftone;
    Colour(kBlue, kRed);
    b.IX = {10, 0, 0, 0};
    b.IY = {20, 0, 0, 0};
    b.IX[1] = 7000; // beyond the area: clipped to it
    b.IY[1] = 30;
    YYScreenDeviceCall(DeviceOp::kRectangleHalftone);
    // A polyline of 10000 points: two polylines sharing point 8191.
    DevicePointArrays& p = gDevicePointArrays;
    p.Reserve(10000);
    for (int i = 0; i < 10000; ++i) {
        p.x[static_cast<size_t>(i)] = static_cast<float>(i % 5000);
        p.y[static_cast<size_t>(i)] = static_cast<float>(i / 5000);
    }
    b.N = 10000;
    YYScreenDeviceCall(DeviceOp::kPolyline);
    // An ellipse outline: the edge width converted like the line width.
    b.IX = {3000, 500, 0, 0};
    b.IY = {2000, 400, 0, 0};
    b.X = {3000, 500, 1, 0};
    YYScreenDeviceCall(DeviceOp::kEllipseOutline);
    // A sector swept over 1000 radians stays within 2000 points.
    b.X = {3000, 1000, 0, 0};
    b.Y = {2000, 1000, 1000, 0};
    g.fillMode = kFillSolid;
    YYScreenDeviceCall(DeviceOp::kSectorSolid);
    // A named device font (family 0) still gets a font of the list.
    gTextState.family = TextFontFamily::kNamedDevice;
    gTextState.style = 3;
    YYScreenDeviceCall(DeviceOp::kFont);
    // No pixel can be read back.
    b.IX[0] = 5;
    YYScreenDeviceCall(DeviceOp::kReadPixel);
    EXPECT_EQ(b.IX[0], -1);
    WMetafileCgmClose(slot);

    const cgmwalk::Walk w = Walked(BytesOf(slot));
    EXPECT_EQ(w.All(5, 23)[0]->params, (Bytes{127, 0, 127, 0}));
    using P = std::vector<std::pair<int, int>>;
    EXPECT_EQ(cgmwalk::Points(*w.All(4, 11)[0]), (P{{10, 20}, {6665, 30}}));
    const auto lines = w.All(4, 1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]->params.size(), 8191u * 4);
    EXPECT_EQ(lines[1]->params.size(), 1810u * 4);
    EXPECT_EQ(cgmwalk::Points(*lines[1])[0], std::make_pair(8190 % 5000, 1));
    EXPECT_EQ(w.All(5, 28)[0]->Word(0), 5 * 6666 / 8000);
    EXPECT_EQ(w.All(5, 27)[0]->Word(0), 1);
    EXPECT_EQ(cgmwalk::Points(*w.All(4, 17)[0]), (P{{3000, 2000}, {3500, 2000}, {3000, 2500}}));
    const auto polygons = w.All(4, 7);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0]->params.size(), 2000u * 4);
    const int font = w.All(5, 10).back()->Word(0);
    EXPECT_GE(font, 1);
    EXPECT_LE(font, 16);
}

TEST_F(MemoryMetafileTest, FullBufferDropsWholeElements)
{
    // Room for the opening and a few lines: every further line is dropped
    // whole and reported, and the metafile still ends properly.
    const int slot = WMetafileCgmCreate(800, 600, MemoryMetafileMinimumCapacity() + 100);
    WMetafileCgmBegin(slot);
    const size_t opened = BytesOf(slot).size();
    gReports.clear();
    Colour(kWhite, kRed);
    for (int i = 0; i < 20; ++i)
        Line(i, 0, i, 100);
    WMetafileCgmClose(slot);
    const Bytes bytes = BytesOf(slot);
    const cgmwalk::Walk w = Walked(bytes);
    const int written = w.CountOf(4, 1);
    EXPECT_GT(written, 0);
    EXPECT_LT(written, 20);
    EXPECT_EQ(Reports(kErrorMetafileFull, "YYGCGM1"), 20 - written);
    EXPECT_LE(static_cast<int>(bytes.size()), MemoryMetafileMinimumCapacity() + 100);
    EXPECT_GT(bytes.size(), opened);
    EXPECT_TRUE(w.elements[w.elements.size() - 2].Is(0, 5));
}

} // namespace
