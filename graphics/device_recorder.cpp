// Recording device driver for tests (see device_recorder.h).
#include "graphics/device_recorder.h"

#include <algorithm>

#include "core/fixed_text.h"

namespace {
DeviceRecorder* gActiveRecorder = nullptr;

void CopyPoints(RecordedOp& r, int n)
{
    const DevicePointArrays& p = gDevicePointArrays;
    n = std::max(0, std::min<int>(n, static_cast<int>(p.x.size())));
    r.x.assign(p.x.begin(), p.x.begin() + n);
    r.y.assign(p.y.begin(), p.y.begin() + n);
}

std::string BufferText(int length)
{
    length = std::clamp(length, 0, kDeviceTextLength);
    return std::string(gDeviceTextBuffer.text.data(), static_cast<size_t>(length));
}
} // namespace

DeviceRecorder::DeviceRecorder(bool screen, bool hardcopy) : screen_(screen), hardcopy_(hardcopy)
{
    gActiveRecorder = this;
    if (screen_)
        DeviceDriverOverride(kScreenSide, &DeviceRecorder::Receive);
    if (hardcopy_)
        DeviceDriverOverride(kHardcopySide, &DeviceRecorder::Receive);
}

DeviceRecorder::~DeviceRecorder()
{
    if (screen_)
        DeviceDriverOverride(kScreenSide, nullptr);
    if (hardcopy_)
        DeviceDriverOverride(kHardcopySide, nullptr);
    if (gActiveRecorder == this)
        gActiveRecorder = nullptr;
}

DeviceRecorder* DeviceRecorder::Active() { return gActiveRecorder; }

std::vector<int> DeviceRecorder::Codes(int side) const
{
    std::vector<int> codes;
    for (const RecordedOp& r : ops)
        if (r.side == side)
            codes.push_back(r.op);
    return codes;
}

std::vector<RecordedOp> DeviceRecorder::Of(int side, int op) const
{
    std::vector<RecordedOp> out;
    for (const RecordedOp& r : ops)
        if (r.side == side && r.op == op)
            out.push_back(r);
    return out;
}

void DeviceRecorder::Receive(int side, int op)
{
    DeviceRecorder* self = gActiveRecorder;
    if (!self)
        return;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    RecordedOp r;
    r.side = side;
    r.op = op;
    r.block = b;
    r.state = gGraphicsState;
    switch (op) {
    case DeviceOp::kQuadHalftone:
    case DeviceOp::kQuadSolid:
        CopyPoints(r, 4);
        break;
    case DeviceOp::kTriangleHalftone:
    case DeviceOp::kTriangleSolid:
        CopyPoints(r, 3);
        break;
    case DeviceOp::kPolygonHalftone:
    case DeviceOp::kPolygonSolid:
    case DeviceOp::kPolyline:
        CopyPoints(r, b.N);
        break;
    case DeviceOp::kShadedPolygon:
        CopyPoints(r, gDevicePointArrays.shadedCount);
        break;
    case DeviceOp::kText:
        r.text = BufferText(b.IX[0]);
        break;
    case DeviceOp::kTextWidth:
        r.text = BufferText(b.M);
        break;
    case DeviceOp::kBeginPlot:
    case DeviceOp::kImageFile:
        r.text = std::string(TrimRight(std::string_view(gDeviceTextBuffer.text.data(), kDeviceTextLength)));
        break;
    default:
        break;
    }
    self->ops.push_back(r);

    // Scripted answers.
    switch (op) {
    case DeviceOp::kInitialise:
        if (side == kHardcopySide && b.N == kDriverNumberQuery) {
            if (self->driverNumber != 0)
                b.N = self->driverNumber;
        } else {
            const std::string& cap = side == kScreenSide ? self->screenCapability : self->hardcopyCapability;
            auto& dst = gDeviceCapabilityString[side];
            dst.fill('0');
            std::copy_n(cap.begin(), std::min<size_t>(cap.size(), dst.size()), dst.begin());
        }
        break;
    case DeviceOp::kTextWidth:
        b.X[0] = static_cast<float>(std::max(0, b.M)) * self->textWidthPerChar;
        b.N = 1;
        break;
    case DeviceOp::kReadPixel:
        b.IX[0] = self->pixelValue;
        break;
    default:
        break;
    }
}
