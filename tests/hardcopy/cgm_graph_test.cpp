// The application's graph as binary CGM: through the CGM driver, into a
// memory metafile, on two pages and into memory metafiles of every size from
// the smallest to the graph's, each walked element by element; LibreOffice
// reads the files (text, colours, polylines, pages). A disabled benchmark
// prints the median time per graph.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/plot_refresh.h"
#include "app/plot_windows.h"
#include "app/spline_module.h"
#include "app/spline_tabulate.h"
#include "cgm_walker.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "core/library_start.h"
#include "core/library_state.h"
#include "core/main_window.h"
#include "core/window_table.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/metafile_slots.h"
#include "hardcopy/hardcopy_open.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/image_reader.h"
#include "hardcopy/memory_metafile.h"
#include "scratch_files.h"
#include "unix_tools.h"

namespace {

using SM = SplineModule;

// Curve colours of the graph (colour numbers 19 .. 223 of the colour table)
// as LibreOffice must paint them.
std::vector<int> CurveRgb()
{
    std::vector<int> out;
    for (int n : kCurveColours)
        out.push_back(gColourTable.entries[static_cast<size_t>(n)]);
    return out;
}

class CgmGraphTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        savedLibrary_ = new LibraryState(gLibraryState);
        savedGraphics_ = new GraphicsState(gGraphicsState);
        char temp[MAX_PATH], old[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        GetCurrentDirectoryA(MAX_PATH, old);
        oldDir_ = old;
        folder_ = std::string(temp) + "kestrow_cgm_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        SetCurrentDirectoryA(folder_.c_str());
        WLibraryStart();
        const int hidden = 128;
        WindowOpen(&hidden);
        SplineModuleInit();
        KnotVectorBuild();
        SplineTabulate();
        gKestrowApp = KestrowAppState{};
        gKestrowApp.windowtitle = FixedText<100>(kPlotWindowTitle);
        gPlotState = PlotState{};
        window_ = 0;
        PlotRefresh(window_, window_);
    }
    static void TearDownTestSuite()
    {
        if (unixtools::Available("/bin/rm"))
            unixtools::Run("rm -rf '" + Profile() + "'");
        WLibraryShutdown();
        SetCurrentDirectoryA(oldDir_.c_str());
        gLibraryState = *savedLibrary_;
        gGraphicsState = *savedGraphics_;
        delete savedLibrary_;
        delete savedGraphics_;
    }
    void SetUp() override
    {
        ASSERT_GT(window_, 0);
        WindowMakeCurrent(window_);
        gErrorState.lastCode = 0;
    }
    void TearDown() override
    {
        const std::string_view close = "S";
        YYHardcopyOpen(&close);
        YYHardcopySelect(1, kDriverWindowsPrinter);
        for (int s = 1; s <= kMetafileSlotCount; ++s)
            MetafileSlotRelease(s);
        gGraphicsState.screenOutput = 1;
    }

    // The graph as the refresh draws it, on the current target.
    static void Graph()
    {
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        IGrAreaErase();
        SplinePlotDraw();
    }

    // The graph through the CGM driver into FILE, PAGES times (a page ends
    // between them); screen output as SCREEN.
    static std::vector<uint8_t> ThroughDriver(const std::string& file, int pages = 1, int screen = 1)
    {
        YYHardcopySelect(1, kDriverCgm);
        const std::string_view name = file;
        YYHardcopyOpen(&name);
        gGraphicsState.screenOutput = screen;
        for (int p = 0; p < pages; ++p) {
            if (p > 0) {
                gDeviceParameterBlock.M = 0;
                gDeviceParameterBlock.N = 0;
                YYHardcopyCallIfOpen(DeviceOp::kEndPage);
            }
            Graph();
        }
        gGraphicsState.screenOutput = 1;
        const std::string_view close = "S";
        YYHardcopyOpen(&close);
        return ReadAll(file);
    }

    // The graph into a memory metafile of 756 x 540 points and CAPACITY
    // bytes, closed; the slot stays for the caller.
    static int IntoMemory(int capacity)
    {
        const int slot = WMetafileCgmCreate(756, 540, capacity);
        if (slot == 0)
            return 0;
        WMetafileCgmBegin(slot);
        Graph();
        WMetafileCgmClose(slot);
        WindowMakeCurrent(window_);
        return slot;
    }

    static std::vector<uint8_t> Bytes(int slot)
    {
        const auto b = MemoryMetafileBytes(slot);
        return {b.begin(), b.end()};
    }

    // LibreOffice converts IN to FORMAT (pdf, odg, png) in the scratch
    // folder; the output's path, empty when it made none.
    static std::string Convert(const std::string& in, const std::string& format)
    {
        const std::string unixIn = unixtools::UnixPath(in);
        const std::string dir = unixtools::UnixPath(folder_);
        const std::string command = "HOME=/tmp soffice --headless -env:UserInstallation=file://" + Profile() +
                                    " --convert-to " + format + " --outdir '" + dir + "' '" + unixIn + "'";
        std::string out;
        unixtools::Run(command, &out);
        std::string stem = in.substr(in.find_last_of('\\') + 1);
        stem = stem.substr(0, stem.find_last_of('.'));
        const std::string result = folder_ + "\\" + stem + "." + format;
        return GetFileAttributesA(result.c_str()) == INVALID_FILE_ATTRIBUTES ? std::string() : result;
    }
    // LibreOffice's settings folder of this test program.
    static std::string Profile() { return "/tmp/kvb_lo_profile_" + std::to_string(GetCurrentProcessId()); }
    static bool HaveLibreOffice()
    {
        return unixtools::Available("/usr/bin/soffice") && unixtools::Available("/usr/bin/pdftotext");
    }

    static int window_;
    static std::string folder_, oldDir_;
    static LibraryState* savedLibrary_;
    static GraphicsState* savedGraphics_;
};
int CgmGraphTest::window_ = 0;
std::string CgmGraphTest::folder_;
std::string CgmGraphTest::oldDir_;
LibraryState* CgmGraphTest::savedLibrary_ = nullptr;
GraphicsState* CgmGraphTest::savedGraphics_ = nullptr;

// What every picture of the graph must hold: 7 curves of 201 points, the
// title, the legend, the tick labels.
void ExpectGraph(const cgmwalk::Walk& w, int pictures)
{
    ASSERT_TRUE(w.ok) << w.error;
    EXPECT_EQ(w.pictures, pictures);
    int curves = 0;
    for (const cgmwalk::Element* e : w.All(4, 1))
        curves += e->params.size() == 201 * 4 ? 1 : 0;
    EXPECT_EQ(curves, 7 * pictures);
    const auto texts = cgmwalk::Texts(w);
    for (const char* t : {"Splines", "T1", "T2", "T3", "T4", "T5", "T6", "T7", "X", "2.4"})
        EXPECT_EQ(std::count(texts.begin(), texts.end(), t), pictures) << t;
    // Every picture states its background white.
    EXPECT_EQ(w.CountOf(2, 7), pictures);
}

// Text as pdftotext reads it, without white space: LibreOffice wraps
// restricted text inside its own text frames.
std::string PdfText(const std::string& pdf)
{
    std::string out;
    unixtools::Run("pdftotext -raw '" + unixtools::UnixPath(pdf) + "' -", &out);
    out.erase(std::remove_if(out.begin(), out.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); }),
              out.end());
    return out;
}

int PdfPages(const std::string& pdf)
{
    std::string out;
    unixtools::Run("pdfinfo '" + unixtools::UnixPath(pdf) + "'", &out);
    const size_t at = out.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + 6);
}

// The pixels of the first page of PDF at 100 dots per inch.
std::vector<int> PdfPixels(const std::string& pdf, ImageHeader& header)
{
    const std::string png = pdf + "-page";
    unixtools::Run("pdftoppm -r 100 -png -singlefile '" + unixtools::UnixPath(pdf) + "' '" +
                   unixtools::UnixPath(png) + "'");
    std::vector<uint8_t> bytes;
    std::vector<int> pixels;
    int os = 0, zlib = 0;
    if (ImageFileLoad(png + ".png", bytes, os) != 0 || ImageDecode(bytes, header, pixels, zlib) != 0)
        pixels.clear();
    return pixels;
}

TEST_F(CgmGraphTest, ThroughTheDriver)
{
    const std::string file = TempName("graph.cgm");
    const auto bytes = ThroughDriver(file);
    ExpectGraph(cgmwalk::WalkCgm(bytes), 1);
    std::printf("graph through the CGM driver: %zu bytes\n", bytes.size());

    if (!HaveLibreOffice())
        GTEST_SKIP() << "LibreOffice or poppler-utils missing";
    const std::string pdf = Convert(file, "pdf");
    ASSERT_FALSE(pdf.empty()) << "LibreOffice made no PDF";
    // LibreOffice puts the picture on a 16:9 slide, whose lower edge cuts
    // off the bottom of the graph, the legend's T7 with it (the drawing it
    // makes keeps it: see IntoMemory).
    const std::string text = PdfText(pdf);
    for (const char* t : {"Splines", "T1", "T2", "T3", "T4", "T5", "T6"})
        EXPECT_NE(text.find(t), std::string::npos) << t << " in " << text;
    // A white page, and every curve colour on it.
    ImageHeader h;
    const std::vector<int> pixels = PdfPixels(pdf, h);
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(pixels[0], 0xFFFFFF);
    EXPECT_EQ(pixels.back(), 0xFFFFFF);
    for (int rgb : CurveRgb()) {
        const auto similar = [rgb](int p) {
            int d = 0;
            for (int k = 0; k < 3; ++k)
                d += std::abs(((p >> (8 * k)) & 255) - ((rgb >> (8 * k)) & 255));
            return d < 30;
        };
        EXPECT_GT(std::count_if(pixels.begin(), pixels.end(), similar), 20) << std::hex << rgb;
    }
}

TEST_F(CgmGraphTest, IntoMemory)
{
    const int slot = IntoMemory(1 << 20);
    ASSERT_GT(slot, 0);
    const auto bytes = Bytes(slot);
    ExpectGraph(cgmwalk::WalkCgm(bytes), 1);
    EXPECT_EQ(gErrorState.lastCode, 0);
    std::printf("graph into memory: %zu bytes\n", bytes.size());

    if (!HaveLibreOffice() || !unixtools::Available("/usr/bin/unzip"))
        GTEST_SKIP() << "LibreOffice or unzip missing";
    const std::string file = TempName("memory.cgm");
    WMetafileCgmSave(slot, file);
    ASSERT_EQ(gErrorState.lastCode, 0);
    const std::string odg = Convert(file, "odg");
    ASSERT_FALSE(odg.empty()) << "LibreOffice made no drawing";
    std::string content;
    unixtools::Run("unzip -p '" + unixtools::UnixPath(odg) + "' content.xml", &content);
    // The seven curves, each one polyline of 201 points.
    std::vector<int> counts;
    for (size_t at = content.find("<draw:polyline"); at != std::string::npos;
         at = content.find("<draw:polyline", at + 1)) {
        const size_t points = content.find("draw:points=\"", at);
        const size_t end = content.find('"', points + 13);
        const std::string list = content.substr(points + 13, end - points - 13);
        counts.push_back(1 + static_cast<int>(std::count(list.begin(), list.end(), ' ')));
    }
    EXPECT_EQ(counts, std::vector<int>(7, 201));
    for (const char* t : {">Splines<", ">T1<", ">T2<", ">T3<", ">T4<", ">T5<", ">T6<", ">T7<"})
        EXPECT_NE(content.find(t), std::string::npos) << t;
}

TEST_F(CgmGraphTest, TwoPagesAreTwoPictures)
{
    const std::string file = TempName("pages.cgm");
    const auto bytes = ThroughDriver(file, 2);
    const cgmwalk::Walk w = cgmwalk::WalkCgm(bytes);
    ExpectGraph(w, 2);
    // The second picture states its line type and width, clip and character
    // orientation before it draws.
    for (auto [c, i] : {std::pair{5, 2}, {5, 3}, {3, 6}, {3, 5}, {5, 16}, {5, 10}, {5, 15}}) {
        auto it = std::find_if(w.elements.begin(), w.elements.end(),
                               [](const cgmwalk::Element& e) { return e.picture == 2 && e.cls == 4; });
        EXPECT_TRUE(std::any_of(w.elements.begin(), it, [&](const cgmwalk::Element& e) {
            return e.picture == 2 && e.Is(c, i);
        })) << c << "," << i;
    }

    if (!HaveLibreOffice() || !unixtools::Available("/usr/bin/pdfinfo"))
        GTEST_SKIP() << "LibreOffice or poppler-utils missing";
    const std::string pdf = Convert(file, "pdf");
    ASSERT_FALSE(pdf.empty()) << "LibreOffice made no PDF";
    EXPECT_EQ(PdfPages(pdf), 2);
}

TEST_F(CgmGraphTest, EveryCapacityKeepsAWholeMetafile)
{
    const int first = IntoMemory(1 << 20);
    const int full = static_cast<int>(Bytes(first).size());
    WMetafileDestroy(first);
    const int minimum = MemoryMetafileMinimumCapacity();
    std::vector<int> capacities;
    for (int c = minimum; c < full; c += c < minimum + 64 || c > full - 64 ? 1 : 37)
        capacities.push_back(c);
    capacities.push_back(full);
    for (int capacity : capacities) {
        gErrorState.lastCode = 0;
        const int slot = IntoMemory(capacity);
        ASSERT_GT(slot, 0) << capacity;
        const auto bytes = Bytes(slot);
        const cgmwalk::Walk w = cgmwalk::WalkCgm(bytes);
        ASSERT_TRUE(w.ok) << capacity << ": " << w.error;
        ASSERT_GE(w.elements.size(), 2u);
        EXPECT_TRUE(w.elements[w.elements.size() - 2].Is(0, 5)) << capacity;
        EXPECT_LE(static_cast<int>(bytes.size()), capacity);
        EXPECT_EQ(gErrorState.lastCode, capacity < full ? kErrorMetafileFull : 0) << capacity;
        WMetafileDestroy(slot);
    }
}

// The graph 100 times: the median time of one graph through the CGM driver
// (from open to close, the file's creation and closing apart) and into a
// memory metafile, with screen output off.
TEST_F(CgmGraphTest, DISABLED_Benchmark)
{
    using Clock = std::chrono::steady_clock;
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::vector<double> driver, memory;
    size_t driverBytes = 0, memoryBytes = 0;
    const std::string file = TempName("bench.cgm");
    YYHardcopySelect(1, kDriverCgm);
    for (int i = 0; i < 100; ++i) {
        const std::string_view name = file;
        YYHardcopyOpen(&name);
        gGraphicsState.screenOutput = 0;
        const auto t0 = Clock::now();
        Graph();
        driver.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        gGraphicsState.screenOutput = 1;
        const std::string_view close = "S";
        YYHardcopyOpen(&close);
    }
    driverBytes = ReadAll(file).size();
    YYHardcopySelect(1, kDriverWindowsPrinter);
    for (int i = 0; i < 100; ++i) {
        const int slot = WMetafileCgmCreate(756, 540, 1 << 20);
        WMetafileCgmBegin(slot);
        const auto t0 = Clock::now();
        Graph();
        memory.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        WMetafileCgmClose(slot);
        memoryBytes = MemoryMetafileBytes(slot).size();
        WMetafileDestroy(slot);
        WindowMakeCurrent(window_);
    }
    std::printf("CGM driver: median %.3f ms per graph, %zu bytes\n", median(driver), driverBytes);
    std::printf("memory metafile: median %.3f ms per graph, %zu bytes\n", median(memory), memoryBytes);
}

} // namespace
