// Text drawing: device text and stroke text per output, placement, the
// clip-box trimming, the box and the underline, and the pen.
#include "text_fixture.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "fonts/text_draw.h"
#include "fonts/text_font.h"
#include "fonts/text_measure.h"
#include "graphics/colours.h"

namespace {

class TextDrawTest : public TextTest {
protected:
    float cw = 0, ch = 0;
    void SetUp() override
    {
        SetTarget(400, 300);
        YYCharSize(0.02f, 0.04f);
        gTextState.textScaleX = gGraphicsState.orientedLimit[0] / Wc();
        gTextState.textScaleY = gGraphicsState.orientedLimit[1] / Hc();
        cw = Wc();
        ch = Hc();
        // The device measures every character one nominal cell wide.
        rec.textWidthPerChar = cw;
        rec.Clear();
    }
    std::vector<RecordedOp> Texts(int side) { return rec.Of(side, DeviceOp::kText); }
    void Draw(float x, float y, std::string_view text) { YYTextDraw(&x, &y, text); }
    const std::array<float, 2>& Pen() { return gGraphicsState.penPosition; }
};

TEST_F(TextDrawTest, DeviceTextAlongTheBaseline)
{
    gTextState.justification = 0;
    Draw(100.0f, 150.0f, "Hello");
    auto texts = Texts(kScreenSide);
    ASSERT_EQ(texts.size(), 1u);
    const DeviceParameterBlock& b = texts[0].block;
    EXPECT_EQ(texts[0].text, "Hello");
    EXPECT_EQ(b.IX[0], 5);
    EXPECT_EQ(b.IX[3], 1);
    EXPECT_FLOAT_EQ(b.X[0], 100.0f);
    EXPECT_FLOAT_EQ(b.Y[0], 150.0f);
    EXPECT_FLOAT_EQ(b.X[1], cw);
    EXPECT_FLOAT_EQ(b.Y[1], ch);
    EXPECT_FLOAT_EQ(b.X[2], 100.0f + 5 * cw); // nominal end
    EXPECT_FLOAT_EQ(b.Y[2], 150.0f);
    EXPECT_FLOAT_EQ(b.X[3], 100.0f + 5 * cw); // the device's end
    EXPECT_FLOAT_EQ(gTextState.advanceX, cw);
    EXPECT_FLOAT_EQ(gTextState.upY, ch);
    EXPECT_FLOAT_EQ(Pen()[0], 100.0f + 5 * cw);
    EXPECT_FLOAT_EQ(Pen()[1], 150.0f);
    EXPECT_TRUE(rec.Of(kHardcopySide, DeviceOp::kText).empty());

    // Without a position the text continues at the pen.
    rec.Clear();
    YYTextDraw(nullptr, nullptr, "ab");
    EXPECT_FLOAT_EQ(Texts(kScreenSide).at(0).block.X[0], 100.0f + 5 * cw);
}

TEST_F(TextDrawTest, PenFollowsTheNominalCellWhateverTheDeviceFont)
{
    // The screen font comes out half as wide as asked.
    gTextState.textScaleX *= 2.0f;
    const float small = cw / 2;
    struct Case {
        int justification;
        float start, pen;
    } cases[] = {
        {0, 100.0f, 100.0f + 4 * cw},
        {1, 100.0f - 2 * small, 100.0f + 0.5f * (cw + 4 * cw)},
        {2, 100.0f - 4 * small, 100.0f + cw},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.justification);
        rec.Clear();
        gTextState.justification = c.justification;
        Draw(100.0f, 150.0f, "abcd");
        auto texts = Texts(kScreenSide);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_FLOAT_EQ(texts[0].block.X[0], c.start);
        EXPECT_FLOAT_EQ(texts[0].block.X[1], small);
        EXPECT_FLOAT_EQ(Pen()[0], c.pen);
    }
}

TEST_F(TextDrawTest, StackedDeviceText)
{
    gTextState.stacking = 1;
    gTextState.justification = 0;
    Draw(200.0f, 250.0f, "ABC");
    auto texts = Texts(kScreenSide);
    ASSERT_EQ(texts.size(), 1u);
    const DeviceParameterBlock& b = texts[0].block;
    EXPECT_EQ(texts[0].text, "ABC");
    EXPECT_EQ(b.IX[0], 3);
    // The left end of the first character's centre line.
    EXPECT_FLOAT_EQ(b.X[0], 200.0f - 0.5f * cw);
    EXPECT_FLOAT_EQ(b.Y[0], 250.0f - 0.5f * ch);
    EXPECT_FLOAT_EQ(b.X[1], cw);
    EXPECT_FLOAT_EQ(b.Y[1], ch);
    // The pen one cell below the column.
    EXPECT_FLOAT_EQ(Pen()[0], 200.0f);
    EXPECT_FLOAT_EQ(Pen()[1], 250.0f - 3 * ch);

    // Right justification puts the column's end at the point.
    rec.Clear();
    gTextState.justification = 2;
    Draw(200.0f, 150.0f, "ABC");
    EXPECT_FLOAT_EQ(Texts(kScreenSide).at(0).block.Y[0], 150.0f + 3 * ch - 0.5f * ch);
}

TEST_F(TextDrawTest, CharactersOutsideTheClipBoxAreDropped)
{
    gTextState.justification = 0;
    gGraphicsState.clipBox = {40.0f, 0.0f, 200.0f, 299.99f};
    // The first three characters start left of x = 40.
    const float x = 40.5f - 3 * cw;
    Draw(x, 150.0f, "abcdefgh");
    auto texts = Texts(kScreenSide);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "defgh");
    EXPECT_EQ(texts[0].block.IX[0], 5);
    EXPECT_NEAR(texts[0].block.X[0], x + 3 * cw, 1e-4);

    // Characters past the right edge go too, with the end points.
    rec.Clear();
    Draw(200.0f - 4.5f * cw, 150.0f, "abcdefgh");
    texts = Texts(kScreenSide);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "abcd");
    EXPECT_NEAR(texts[0].block.X[2], 200.0f - 0.5f * cw, 1e-3);

    // Wholly outside: nothing, but the pen has moved.
    rec.Clear();
    Draw(250.0f, 150.0f, "abc");
    EXPECT_TRUE(Texts(kScreenSide).empty());
    EXPECT_FLOAT_EQ(Pen()[0], 250.0f + 3 * cw);

    // Stacked: the top characters above the box go.
    rec.Clear();
    gTextState.stacking = 1;
    gGraphicsState.clipBox = {0.0f, 0.0f, 399.99f, 200.0f};
    Draw(100.0f, 200.0f + 2.5f * ch, "abcdefgh");
    texts = Texts(kScreenSide);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "defgh");
    EXPECT_NEAR(texts[0].block.Y[0], 200.0f + 2.5f * ch - 3.5f * ch, 1e-3);
}

// Each pass trims by the widths its own output prints: a hardcopy whose
// letters are half a cell wide keeps a text whole that the screen, one cell
// a letter, must cut at the clip box, and one whose letters are two cells
// wide cuts more of it than the screen does.
TEST_F(TextDrawTest, EachOutputKeepsWhatItsOwnLettersLeaveInside)
{
    static float hardcopyPerChar = 0.0f;
    static DeviceDriver recorder = nullptr;
    recorder = DeviceDriverOverrideOf(kHardcopySide);
    DeviceDriverOverride(kHardcopySide, [](int side, int op) {
        recorder(side, op);
        if (op == DeviceOp::kTextWidth)
            gDeviceParameterBlock.X[0] = static_cast<float>(gDeviceParameterBlock.M) * hardcopyPerChar;
    });
    OpenHardcopy();
    gGraphicsState.screenOutput = 1;
    gTextState.justification = 0;
    gGraphicsState.clipBox = {0.0f, 0.0f, 200.0f, 299.99f};
    struct Case {
        float perChar; // the hardcopy's letter, in cells
        const char* hardcopy;
    };
    for (const Case& c : {Case{0.5f, "abcdefgh"}, Case{2.0f, "ab"}}) {
        SCOPED_TRACE(c.perChar);
        hardcopyPerChar = c.perChar * cw;
        rec.Clear();
        Draw(200.0f - 4.5f * cw, 150.0f, "abcdefgh");
        auto screen = Texts(kScreenSide), hard = Texts(kHardcopySide);
        ASSERT_EQ(screen.size(), 1u);
        ASSERT_EQ(hard.size(), 1u);
        EXPECT_EQ(screen[0].text, "abcd");
        EXPECT_EQ(hard[0].text, c.hardcopy);
        // The screen's text scale is its own all the while.
        EXPECT_FLOAT_EQ(gTextState.textScaleX, gGraphicsState.orientedLimit[0] / cw);
        EXPECT_EQ(gGraphicsState.screenOutput, 1);
    }
    DeviceDriverOverride(kHardcopySide, recorder);
}

TEST_F(TextDrawTest, TextLongerThanTheDeviceBufferGoesInPieces)
{
    YYCharSize(0.002f, 0.04f);
    gTextState.textScaleX = gGraphicsState.orientedLimit[0] / Wc();
    cw = Wc();
    rec.textWidthPerChar = cw;
    gTextState.justification = 1;
    const std::string text = std::string(260, 'a') + std::string(40, 'b');
    rec.Clear();
    Draw(200.0f, 150.0f, text);
    auto texts = Texts(kScreenSide);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, std::string(260, 'a'));
    EXPECT_EQ(texts[1].text, std::string(40, 'b'));
    const float start = 200.0f - 150 * cw;
    EXPECT_NEAR(texts[0].block.X[0], start, 1e-3);
    EXPECT_NEAR(texts[0].block.X[2], start + 260 * cw, 1e-3);
    EXPECT_NEAR(texts[1].block.X[0], start + 260 * cw, 1e-3);
    EXPECT_NEAR(texts[1].block.X[2], start + 300 * cw, 1e-3);
    EXPECT_EQ(gTextState.justification, 1);

    // The hardcopy marks the first and the last piece.
    OpenHardcopy();
    rec.Clear();
    Draw(200.0f, 150.0f, text);
    auto hard = Texts(kHardcopySide);
    ASSERT_EQ(hard.size(), 2u);
    EXPECT_EQ(hard[0].block.IX[1], 1);
    EXPECT_EQ(hard[1].block.IX[1], 2);
}

TEST_F(TextDrawTest, DegenerateGeometryNeverTraps)
{
    // Floating-point traps are on: none of these may divide by zero,
    // overflow or convert an out-of-range value.
    TextState& t = gTextState;
    GraphicsState& g = gGraphicsState;
    t.textScaleX = 0.0f;
    t.textScaleY = 0.0f;
    Draw(100.0f, 100.0f, "abc");
    Draw(3.0e38f, -3.0e38f, "abc");
    Draw(std::nanf(""), 100.0f, "abc");
    g.orientedAreaSize = {0.0f, 0.0f};
    g.orientedLimit = {0.0f, 0.0f};
    g.aspect = 0.0f;
    OpenHardcopy();
    gHardcopyState.pageAspect = 0.0f;
    t.spacing = TextSpacing::kWidthTable;
    Draw(100.0f, 100.0f, "abc");
    t.stacking = 1;
    Draw(100.0f, 100.0f, "abc");
    const int builtIn = 1;
    WGrTextFont(&builtIn);
    Draw(100.0f, 100.0f, "abc");
    // Nothing that reached a driver carries a coordinate that is not finite.
    ASSERT_FALSE(rec.ops.empty());
    for (const RecordedOp& r : rec.ops) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(std::isfinite(r.block.X[i]) && std::isfinite(r.block.Y[i])) << "op " << r.op;
        }
        for (size_t i = 0; i < r.x.size(); ++i) {
            EXPECT_TRUE(std::isfinite(r.x[i]) && std::isfinite(r.y[i])) << "op " << r.op;
        }
    }
}

TEST_F(TextDrawTest, EmptyTextMovesThePenAndSendsNothing)
{
    gTextState.justification = 1;
    Draw(100.0f, 100.0f, "");
    EXPECT_TRUE(Texts(kScreenSide).empty());
    EXPECT_FLOAT_EQ(Pen()[0], 100.0f + 0.5f * cw);
    EXPECT_FLOAT_EQ(Pen()[1], 100.0f);
}

TEST_F(TextDrawTest, ProportionalDeviceTextStartsAFractionOfItsFirstCharacterLater)
{
    const int swiss = 102;
    WGrTextFont(&swiss);
    gTextState.justification = 0;
    rec.Clear();
    Draw(100.0f, 150.0f, "ab");
    auto texts = Texts(kScreenSide);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_FLOAT_EQ(texts[0].block.X[0], 100.0f + 0.14f * cw);
    EXPECT_FLOAT_EQ(texts[0].block.X[2], 100.0f + 2 * cw - 0.14f * cw);
}

TEST_F(TextDrawTest, UnderlineLeftToTheLibraryWhenTheDriverDidNotDrawIt)
{
    gTextState.justification = 0;
    gTextState.style = TextStyleBits::kUnderline;
    gGraphicsState.lineStyle = 3;
    Draw(100.0f, 150.0f, "ab");
    auto lines = rec.Of(kScreenSide, DeviceOp::kLine);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_FLOAT_EQ(lines[0].block.X[0], 100.0f);
    EXPECT_FLOAT_EQ(lines[0].block.Y[0], 150.0f - 0.45f * ch);
    EXPECT_FLOAT_EQ(lines[0].block.X[1], 100.0f + 2 * cw);
    EXPECT_EQ(lines[0].state.lineStyle, 0); // solid for the rule
    EXPECT_EQ(gGraphicsState.lineStyle, 3);
}

TEST_F(TextDrawTest, BoxWithWidthTableSpacingIsDrawnByTheLibrary)
{
    GraphicsState& g = gGraphicsState;
    g.colourModel = kColourModelRgb;
    YYColourSetDirect(0, 0x00FF00, 0, 0);
    YYColourSetDirect(0, 0x0000FF, 0, 0);
    const int swiss = 102, proportional = 2, box = 8;
    WGrTextFont(&swiss, &box, nullptr, nullptr, nullptr, &proportional);
    ASSERT_EQ(gTextState.spacing, TextSpacing::kWidthTable);
    gTextState.justification = 0;
    rec.Clear();
    Draw(100.0f, 150.0f, "ab");
    const std::vector<int> expected{DeviceOp::kColour, DeviceOp::kPolygonSolid, DeviceOp::kColour,
                                    DeviceOp::kText, DeviceOp::kText};
    std::vector<int> drawn;
    for (int op : rec.Codes(kScreenSide))
        if (op != DeviceOp::kTextWidth)
            drawn.push_back(op);
    EXPECT_EQ(drawn, expected);
    const RecordedOp polygon = rec.Of(kScreenSide, DeviceOp::kPolygonSolid).at(0);
    EXPECT_EQ(polygon.state.currentRgb, 0x00FF00); // the previous colour
    auto texts = Texts(kScreenSide);
    EXPECT_EQ(texts[0].text, "a");
    EXPECT_EQ(texts[1].text, "b");
    EXPECT_EQ(texts[1].block.IX[0], 1);
    // One character on by the width table (0.74 for 'a'), from the shifted start.
    EXPECT_NEAR(texts[1].block.X[0] - texts[0].block.X[0], 0.74f * cw, 1e-4);
    EXPECT_EQ(g.currentRgb, 0x0000FF);
    EXPECT_EQ(g.previousRgb, 0x00FF00);
    EXPECT_EQ(g.fillMode, kFillOutline);
}

// The background box the library draws: the polygons of SIDE (solid, or the
// fill call of a half-tone one), each as its bounding box. The screen router
// passes everything on; the screen driver draws only while screen output is on.
struct BoxFound {
    float left, right, bottom, top;
    int rgb;
};
std::vector<BoxFound> Boxes(const DeviceRecorder& rec, int side)
{
    std::vector<BoxFound> out;
    for (const RecordedOp& r : rec.ops) {
        const bool fill = r.op == DeviceOp::kPolygonSolid || (r.op == DeviceOp::kPolygonHalftone && r.block.M != -1);
        if (r.side != side || !fill || r.x.empty() || (side == kScreenSide && r.state.screenOutput <= 0))
            continue;
        BoxFound b{r.x[0], r.x[0], r.y[0], r.y[0], r.state.currentRgb};
        for (size_t i = 0; i < r.x.size(); ++i) {
            b.left = std::min(b.left, r.x[i]);
            b.right = std::max(b.right, r.x[i]);
            b.bottom = std::min(b.bottom, r.y[i]);
            b.top = std::max(b.top, r.y[i]);
        }
        out.push_back(b);
    }
    return out;
}

// The box covers the text's cells in the previous colour: a stacked column
// on the device, stroke text on every output, and device text on a
// hardcopy that does not draw boxes itself (and on that side only).
TEST_F(TextDrawTest, BackgroundBoxOfStackedStrokeAndHardcopyText)
{
    GraphicsState& g = gGraphicsState;
    g.colourModel = kColourModelRgb;
    YYColourSetDirect(0, 0x00FF00, 0, 0);
    YYColourSetDirect(0, 0x0000FF, 0, 0);
    auto expectBox = [](const BoxFound& b, float left, float right, float bottom, float top) {
        EXPECT_NEAR(b.left, left, 1e-3);
        EXPECT_NEAR(b.right, right, 1e-3);
        EXPECT_NEAR(b.bottom, bottom, 1e-3);
        EXPECT_NEAR(b.top, top, 1e-3);
        EXPECT_EQ(b.rgb, 0x00FF00);
    };
    const int device = 2, box = 8, builtIn = 1;
    gTextState.justification = 0;

    // Stacked: one cell wide, from the point down three cells.
    WGrTextFont(&device, &box);
    gTextState.stacking = 1;
    rec.Clear();
    Draw(200.0f, 250.0f, "ABC");
    auto boxes = Boxes(rec, kScreenSide);
    ASSERT_EQ(boxes.size(), 1u);
    expectBox(boxes[0], 200.0f - 0.5f * cw, 200.0f + 0.5f * cw, 250.0f - 3 * ch, 250.0f);
    ASSERT_EQ(Texts(kScreenSide).size(), 1u);
    gTextState.stacking = 0;

    // Stroke text: the box once on each output, around the baseline.
    OpenHardcopy();
    WGrTextFont(&builtIn, &box);
    rec.Clear();
    Draw(100.0f, 150.0f, "ab");
    for (int side : {kScreenSide, kHardcopySide}) {
        SCOPED_TRACE(side);
        boxes = Boxes(rec, side);
        ASSERT_EQ(boxes.size(), 1u);
        expectBox(boxes[0], 100.0f, 100.0f + 2 * cw, 150.0f - 0.5f * ch, 150.0f + 0.5f * ch);
    }

    // Device text: the screen driver and a hardcopy that draws boxes do it
    // themselves; for one that does not the library draws it on that side.
    WGrTextFont(&device, &box);
    for (int own : {1, 0}) {
        SCOPED_TRACE(own);
        gTextState.hardcopyTextBox = own;
        rec.Clear();
        Draw(100.0f, 150.0f, "ab");
        EXPECT_TRUE(Boxes(rec, kScreenSide).empty());
        ASSERT_EQ(Texts(kHardcopySide).size(), 1u);
        boxes = Boxes(rec, kHardcopySide);
        ASSERT_EQ(boxes.size(), own ? 0u : 1u);
        if (!own)
            expectBox(boxes[0], 100.0f, 100.0f + 2 * cw, 150.0f - 0.5f * ch, 150.0f + 0.5f * ch);
    }
    EXPECT_EQ(g.currentRgb, 0x0000FF);
    EXPECT_EQ(g.fillMode, kFillOutline);
}

TEST_F(TextDrawTest, BuiltInFontIsDrawnOnceToEachSide)
{
    OpenHardcopy();
    const int builtIn = 1;
    WGrTextFont(&builtIn);
    rec.Clear();
    Draw(100.0f, 150.0f, "!");
    EXPECT_EQ(rec.Of(kScreenSide, DeviceOp::kLine).size(), 2u);
    EXPECT_EQ(rec.Of(kHardcopySide, DeviceOp::kLine).size(), 2u);
    EXPECT_TRUE(Texts(kScreenSide).empty());
    EXPECT_TRUE(Texts(kHardcopySide).empty());
}

TEST_F(TextDrawTest, HardcopyThatCannotRotateGetsTheFamilysStrokeFace)
{
    OpenHardcopy();
    TextState& t = gTextState;
    t.sizeLimit[1] = 0.222f;
    t.rotation[1] = 0;
    const int swiss = 102;
    WGrTextFont(&swiss);
    YYTextAngle(45.0f);
    gTextState.slant = 0.0f;
    rec.Clear();
    Draw(200.0f, 150.0f, "AB");
    // The screen still gets device text; the hardcopy strokes only.
    EXPECT_EQ(Texts(kScreenSide).size(), 1u);
    EXPECT_TRUE(Texts(kHardcopySide).empty());
    int hardcopyStrokes = 0, screenStrokes = 0;
    for (const RecordedOp& r : rec.ops) {
        const bool stroke = r.op == DeviceOp::kLine || r.op == DeviceOp::kPolyline ||
                            r.op == DeviceOp::kPolygonSolid || r.op == DeviceOp::kPolygonHalftone;
        // The screen router passes everything on; the screen driver draws
        // only while screen output is on.
        if (stroke && r.side == kHardcopySide)
            ++hardcopyStrokes;
        else if (stroke && r.state.screenOutput > 0)
            ++screenStrokes;
    }
    EXPECT_GT(hardcopyStrokes, 0);
    EXPECT_EQ(screenStrokes, 0);
    // Everything as it was.
    EXPECT_EQ(FontName(), "standard.chr");
    EXPECT_EQ(t.builtInFont, 0);
    EXPECT_EQ(t.slant, 0.0f);
    EXPECT_EQ(t.installedBold, 0);
}

TEST_F(TextDrawTest, HardcopyPerCharacterAndStackedOperands)
{
    OpenHardcopy();
    TextState& t = gTextState;
    // Width-table spacing: one character per operation, flagged first and last.
    const int swiss = 102, proportional = 2;
    WGrTextFont(&swiss, nullptr, nullptr, nullptr, nullptr, &proportional);
    t.justification = 0;
    rec.Clear();
    Draw(100.0f, 150.0f, "abc");
    auto hard = Texts(kHardcopySide);
    ASSERT_EQ(hard.size(), 3u);
    EXPECT_EQ(hard[0].block.IX[1], 1);
    EXPECT_EQ(hard[1].block.IX[1], 0);
    EXPECT_EQ(hard[2].block.IX[1], 2);
    EXPECT_NEAR(hard[1].block.X[0] - hard[0].block.X[0], 0.74f * Wc(), 1e-4);

    // Stacked on a hardcopy that spaces itself: centred in the cell.
    t.stacking = 1;
    rec.Clear();
    Draw(100.0f, 250.0f, "ab");
    hard = Texts(kHardcopySide);
    ASSERT_EQ(hard.size(), 2u);
    EXPECT_NEAR(hard[0].block.X[0], 100.0f, 1e-3); // V + half a cell
    EXPECT_NEAR(hard[1].block.Y[0], hard[0].block.Y[0] - Hc(), 1e-3);
    EXPECT_FLOAT_EQ(hard[0].block.X[2], hard[0].block.X[0] + 1.0f);
    EXPECT_EQ(t.justification, 0);
    EXPECT_EQ(t.spacing, TextSpacing::kWidthTable);
}

} // namespace
