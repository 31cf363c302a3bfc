// The binary encoding of Computer Graphics Metafiles (CGM) as both producers
// write it: the CGM hardcopy driver (plot unit 2) and the memory metafile (a
// slot's byte buffer). One element writer assembles each element in memory
// and hands it whole to a sink, so a sink can take an element entirely or
// not at all; the picture writers above it (head, attributes with their
// caches, polylines, polygons, text, cell arrays, shaded triangles) take
// coordinates already in VDC units and know nothing of the sink.
//
// The declared precisions: VDC integer 16 bits, integer and index 16 bits,
// real fixed point 16.16 (only 0.0 is ever written), direct colour 8 bits per
// component. All words big-endian. VDC values saturate at -32767..32767.
// No Win32 here.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

// ---- Sinks --------------------------------------------------------------------------

// Where the bytes of a metafile go. An element reaches its sink as one or
// more Put calls followed by one ElementEnd.
class CgmSink {
public:
    virtual ~CgmSink() = default;
    // Appends bytes of the element being written; false when they did not get
    // through (the sink is full, or its file write failed).
    virtual bool Put(const std::uint8_t* bytes, std::size_t n) = 0;
    // The element is complete.
    virtual void ElementEnd() {}
};

// A sink that collects every byte in a vector.
class CgmVectorSink : public CgmSink {
public:
    std::vector<std::uint8_t> bytes;
    bool Put(const std::uint8_t* p, std::size_t n) override
    {
        bytes.insert(bytes.end(), p, p + n);
        return true;
    }
};

// ---- Elements ------------------------------------------------------------------------

struct CgmElementCode {
    int elementClass;
    int id;
};

namespace CgmElement {
constexpr CgmElementCode kBeginMetafile{0, 1};
constexpr CgmElementCode kEndMetafile{0, 2};
constexpr CgmElementCode kBeginPicture{0, 3};
constexpr CgmElementCode kBeginPictureBody{0, 4};
constexpr CgmElementCode kEndPicture{0, 5};
constexpr CgmElementCode kMetafileVersion{1, 1};
constexpr CgmElementCode kMetafileDescription{1, 2};
constexpr CgmElementCode kVdcType{1, 3};
constexpr CgmElementCode kIntegerPrecision{1, 4};
constexpr CgmElementCode kRealPrecision{1, 5};
constexpr CgmElementCode kIndexPrecision{1, 6};
constexpr CgmElementCode kColourPrecision{1, 7};
constexpr CgmElementCode kColourValueExtent{1, 10};
constexpr CgmElementCode kFontList{1, 13};
constexpr CgmElementCode kColourSelectionMode{2, 2};
constexpr CgmElementCode kLineWidthMode{2, 3};
constexpr CgmElementCode kEdgeWidthMode{2, 5};
constexpr CgmElementCode kVdcExtent{2, 6};
constexpr CgmElementCode kBackgroundColour{2, 7};
constexpr CgmElementCode kVdcIntegerPrecision{3, 1};
constexpr CgmElementCode kAuxiliaryColour{3, 3};
constexpr CgmElementCode kTransparency{3, 4};
constexpr CgmElementCode kClipRectangle{3, 5};
constexpr CgmElementCode kClipIndicator{3, 6};
constexpr CgmElementCode kPolyline{4, 1};
constexpr CgmElementCode kText{4, 4};
constexpr CgmElementCode kRestrictedText{4, 5};
constexpr CgmElementCode kPolygon{4, 7};
constexpr CgmElementCode kCellArray{4, 9};
constexpr CgmElementCode kRectangle{4, 11};
constexpr CgmElementCode kEllipse{4, 17};
constexpr CgmElementCode kLineType{5, 2};
constexpr CgmElementCode kLineWidth{5, 3};
constexpr CgmElementCode kLineColour{5, 4};
constexpr CgmElementCode kTextFontIndex{5, 10};
constexpr CgmElementCode kTextColour{5, 14};
constexpr CgmElementCode kCharacterHeight{5, 15};
constexpr CgmElementCode kCharacterOrientation{5, 16};
constexpr CgmElementCode kTextAlignment{5, 18};
constexpr CgmElementCode kInteriorStyle{5, 22};
constexpr CgmElementCode kFillColour{5, 23};
constexpr CgmElementCode kEdgeType{5, 27};
constexpr CgmElementCode kEdgeWidth{5, 28};
constexpr CgmElementCode kEdgeColour{5, 29};
constexpr CgmElementCode kEdgeVisibility{5, 30};
constexpr CgmElementCode kFillReferencePoint{5, 31};
constexpr CgmElementCode kLineCap{5, 37};
constexpr CgmElementCode kLineJoin{5, 38};
constexpr CgmElementCode kInterpolatedInterior{5, 43};
} // namespace CgmElement

// Largest parameter bytes of one partition, and of a partition that another
// follows (even, so the next partition word starts on a word boundary).
constexpr int kCgmPartitionMax = 32767;
constexpr int kCgmPartitionEven = 32766;
// Largest VDC magnitude, and the most points one POLYLINE carries.
constexpr int kCgmVdcLimit = 32767;
constexpr int kCgmPolylineRunPoints = 8191;

struct CgmRgb {
    int r = 0, g = 0, b = 0;
    int Packed() const { return r + 256 * g + 65536 * b; }
    static CgmRgb Of(int packed) { return {packed & 255, (packed >> 8) & 255, (packed >> 16) & 255}; }
};

// V truncated toward zero and saturated at -32767..32767; NaN gives 0.
int CgmVdc(double v);

// Assembles one element at a time: Begin, the parameters, End. End writes the
// header in the short form (up to 30 parameter bytes) or the long form,
// splits parameter lists over 32767 bytes into partitions (each but the last
// of even length), adds the uncounted zero byte after an odd parameter list
// and hands the element to the sink. Partitioned elements that must reach
// the sink piece by piece (cell arrays) use Stream.
class CgmWriter {
public:
    explicit CgmWriter(CgmSink& sink);
    void Begin(CgmElementCode code);
    // A 16-bit integer, index or enumeration, saturated at -32768..32767.
    void Int(int v);
    // A VDC point (values already in VDC, saturated like CgmVdc).
    void Point(int x, int y);
    // A fixed-point real; the producers write only 0.0.
    void RealZero();
    void Byte(int v);
    void Colour(const CgmRgb& c);
    // Length byte and characters; 255 characters and more take the long
    // form (length byte 255, then a 16-bit length).
    void String(std::string_view s);
    // Hands the parameters gathered so far to the sink as the element's next
    // partitions, LAST saying whether the element ends with them. Call End
    // afterwards. Partitions are cut at multiples of UNIT bytes (a point, a
    // run), so that no parameter is split.
    void Stream(bool last, int unit = 2);
    // Completes the element; false when any of it did not get through.
    // Parameters over 32767 bytes are cut at multiples of UNIT bytes.
    bool End(int unit = 2);
    // Whether the element being written has failed to get through so far.
    bool Failed() const { return failed_; }
    // Bytes of parameters gathered and not yet streamed.
    std::size_t Pending() const { return buffer_.size() - kHeaderRoom; }

private:
    static constexpr std::size_t kHeaderRoom = 4;
    void Word(unsigned v);
    void Emit(const std::uint8_t* p, std::size_t n);
    CgmSink& sink_;
    CgmElementCode code_{};
    std::vector<std::uint8_t> buffer_; // kHeaderRoom bytes, then the parameters
    std::vector<std::uint8_t> long_;   // the partitioned form being built
    bool streamed_ = false;            // some partitions are already out
    bool moreOpen_ = false;            // the last partition out announced another
    bool lastOdd_ = false;             // the last streamed partition had odd length
    bool failed_ = false;
};

// One element whose parameters are all 16-bit integers.
void CgmIntElement(CgmWriter& w, CgmElementCode code, std::initializer_list<int> values);
// One colour attribute: the colour and a zero byte (length 4).
void YYCgmColour(CgmWriter& w, CgmElementCode code, const CgmRgb& c);
// The colour changed by colour swap MODE (HardcopyOption 6): 1 every component
// c becomes 255 - c; 2 only for colours with all components below 10 or all
// at 246 and above; other modes leave it. The memory metafile swaps nothing
// (mode 0).
CgmRgb YYCgmColourSwap(CgmRgb c, int mode);

// ---- Pictures -----------------------------------------------------------------------

// The attribute caches of one picture: an attribute element is written only
// when its value differs from the cached one. -1 is "no value yet".
struct CgmAttributeCache {
    int lineColour = -1, textColour = -1, fillColour = -1, edgeColour = -1, auxColour = -1;
    int fontIndex = -1, charHeight = -1, alignment = -1, edgeWidth = -1, edgeType = -1;
    void Reset() { *this = CgmAttributeCache{}; }
};

// LINE TYPE and EDGE TYPE of the library's line style 0..7 (other styles 1).
int CgmLineType(int lineStyle);
// Font lists: set 0 PostScript names with underscores, 1 PostScript names, 2
// the Windows names; other sets give set 2.
std::span<const std::string_view> CgmFontNames(int set);
// The font-list index of text family FAMILY and style bits,
// 4 x family + (style mod 4) - 3. A named device font (family 0) is drawn in
// the fixed family with fixed-pitch SPACING, else in the swiss family, as the
// text layer hands it to drivers; other families outside 1..4 take the
// nearest, so that the index stays inside 1..16.
int CgmFontIndex(int family, int style, int spacing);

struct CgmHead {
    std::string_view title;    // blank: "KVB CGM File"
    int fontSet = 2;
    int vdcWidth = 0, vdcHeight = 0;
    CgmRgb background{255, 255, 255};
};
// The metafile descriptor and the first picture's head, up to its TEXT
// ALIGNMENT: every producer's beginning.
void CgmMetafileHead(CgmWriter& w, const CgmHead& head);
// BEGIN PICTURE, the picture descriptor (width modes, colour selection,
// VDC integer precision, VDC EXTENT, BACKGROUND COLOUR), BEGIN PICTURE BODY
// and TEXT ALIGNMENT (left, bottom).
void CgmPictureBegin(CgmWriter& w, const CgmHead& head);
// END PICTURE, END METAFILE or both.
void CgmEndPicture(CgmWriter& w);
void CgmEndMetafile(CgmWriter& w);

// The attribute element CODE with colour C when C differs from CACHE.
void CgmColourIfChanged(CgmWriter& w, CgmElementCode code, int& cache, const CgmRgb& c);
// A 16-bit attribute element CODE with VALUE when it differs from CACHE.
void CgmIntIfChanged(CgmWriter& w, CgmElementCode code, int& cache, int value);

// Points 0..N-1 (VDC) as POLYLINE elements: one up to 8191 points, longer
// lines as runs of 8191 points that share their joining points.
void CgmPolylines(CgmWriter& w, std::span<const int> x, std::span<const int> y);
// One POLYGON of VDC reals: clipped to -32767..32767, truncated; over 8191
// points, consecutive repeated points are dropped and the rest continues in
// further partitions. Nothing when fewer than 3 points remain. Returns
// whether an element was written.
bool CgmPolygon(CgmWriter& w, std::span<const double> x, std::span<const double> y);
// The same for integer VDC points.
bool CgmPolygonInt(CgmWriter& w, std::span<const int> x, std::span<const int> y);
// RECTANGLE with two VDC corners.
void CgmRectangle(CgmWriter& w, int x1, int y1, int x2, int y2);

// An ellipse: solid interior in FILL, or an outline with the edge
// attributes when OUTLINE.
struct CgmEllipseRequest {
    int cx = 0, cy = 0;       // centre
    int px = 0, py = 0;       // end of the first conjugate diameter
    int qx = 0, qy = 0;       // end of the second
    bool outline = false;
    CgmRgb edge;              // outline: edge colour, type and width
    int edgeType = 1;
    int edgeWidth = -1;       // below 0: not stated
};
void CgmEllipse(CgmWriter& w, CgmAttributeCache& cache, const CgmEllipseRequest& e);

// Text at a VDC point: TEXT of one character, or RESTRICTED TEXT of its
// width and 1.25 character heights; with the background box of boxed text.
struct CgmTextRequest {
    std::string_view text;
    bool single = false;      // one character per element (width-table spacing)
    bool boxed = false;
    CgmRgb colour, background;
    int alignment = 1;        // 1 left, 2 centre, 3 right
    int x = 0, y = 0;
    int width = 0;
};
void CgmText(CgmWriter& w, CgmAttributeCache& cache, const CgmTextRequest& t);

// CHARACTER ORIENTATION for a character width G in VDC and the text
// direction terms C (cosine), S1 and S2 (sine times and divided by the
// aspect correction): up (-S2 x 1.2G, C x 1.2G), base (C x G, S1 x G).
struct CgmOrientation {
    std::array<int, 4> v{};
};
CgmOrientation CgmOrientationOf(double g, double c, double s1, double s2);
void CgmCharacterOrientation(CgmWriter& w, const CgmOrientation& o);

// A CELL ARRAY of NX x NY cells (each below 32768) with corners P, Q, R,
// taken from the packed RGB picture PIXELS of NX x NY (exchanged for
// ROTATION 90 and 270) read at page rotation ROTATION, colours swapped by
// SWAP. Each row is its own partition (longer rows continue in further
// ones); a row ends on a word boundary (its pad byte counted); runs over
// 32767 cells are split. Stops at the first row that does not get through.
// Returns false when the element did not get through whole.
bool CgmCellArray(CgmWriter& w, const std::array<int, 6>& pqr, std::span<const int> pixels, int nx, int ny,
                  int rotation, int swap);
// The index (from 0) into the picture read of cell C of row R (both from
// 1) at page ROTATION.
std::int64_t CgmCellSource(int r, int c, int nx, int ny, int rotation);

// DeviceOp 40 for a producer whose points are VDC: the VDC points X, Y of the
// shaded-polygon vertices go into the shaded-polygon buffer, the polygon is
// merged and split there, and each triangle is written as FILL REFERENCE
// POINT, INTERPOLATED INTERIOR, INTERIOR STYLE interpolated and POLYGON.
void CgmShadedPolygon(CgmWriter& w, std::span<const int> x, std::span<const int> y, int swap);
// The triangle writer handed to the shaded-polygon routine: vertex
// coordinates from X and Y, colours from COLOURS, vertex numbers from 1.
void YYCgmShadedTriangle(const int* x, const int* y, const int* colours, const int* triangles, int n, int m,
                         int& status);

// ---- Device operations, as both producers read them ------------------------------------

// How a producer maps device coordinates to VDC: times the scale, truncated
// toward zero and saturated (the memory metafile's device units are VDC).
struct CgmScale {
    double x = 1.0, y = 1.0;
    int X(double v) const { return CgmVdc(v * x); }
    int Y(double v) const { return CgmVdc(v * y); }
};

// The current and the previous colour of the drawing state, swapped by SWAP.
CgmRgb CgmCurrentColour(int swap);
CgmRgb CgmPreviousColour(int swap);
// The fill colour of CURRENT: with half-tone fill the mean of the previous
// colour and CURRENT (truncated), otherwise CURRENT.
CgmRgb CgmFillColour(const CgmRgb& current, int swap);

// The first COUNT points of the device point arrays (fewer when the arrays
// hold fewer) as POLYLINE elements, and as one POLYGON.
void CgmDevicePolyline(CgmWriter& w, const CgmScale& s, int count);
void CgmDevicePolygon(CgmWriter& w, const CgmScale& s, int count);
// The sector of DeviceOp 13 as one POLYGON: centre (X1, Y1), x radius X2, y
// radius RY, from angle X3 to Y3 (radians) in steps of pi / m with
// m = trunc(X2) x 75 / target width + 25; at most 2000 points.
void CgmDeviceSector(CgmWriter& w, const CgmScale& s, double ry);
// The text of DeviceOp 22 at its baseline, the character height vector's
// 0.38 below the middle line: TEXT for width-table spacing, else RESTRICTED
// TEXT of the line's length times WIDTHSCALE; boxed text over BACKGROUND.
void CgmDeviceText(CgmWriter& w, CgmAttributeCache& cache, const CgmScale& s, double widthScale,
                   const CgmRgb& colour, const CgmRgb& background);
// DeviceOp 38: reads the image file named in the text buffer, IX2 x IY2
// pixels, with error reports off, and writes it as a CELL ARRAY with corners
// PQR at the page rotation. M := 0 written; else M := the error (27 also for
// a picture of another size, or one wider or higher than 32767) and N := the
// operating-system code of the error state, nothing written, the error kept.
// Returns false when the element was written but did not get through.
bool CgmDeviceImage(CgmWriter& w, const std::array<int, 6>& pqr, int swap);
// DeviceOp 40: the shaded-polygon vertices converted to VDC, split and
// written as interpolated triangles.
void CgmDeviceShaded(CgmWriter& w, const CgmScale& s, int swap);
// VDC extent of a picture of WIDTH x HEIGHT points at 600 units per inch;
// when the larger passes 32767 both shrink to keep the ratio. At least 1.
void CgmVdcExtent(std::int64_t width, std::int64_t height, int& vx, int& vy);
