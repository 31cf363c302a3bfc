// World coordinates of events: the 0..9999 and world words of an
// EventMessage, with the geometry of the event's window or dialog area.
#include <bit>

#include "core/dialog_services.h"
#include "core/events.h"
#include "core/library_state.h"
#include "core/window_services.h"
#include "graphics/bitmap_viewer.h"
#include "graphics/coordinates.h"
#include "graphics/graphics_neighbours.h"
#include "graphics/graphics_state.h"

namespace {

constexpr int kViewerHorizontalScroll = 4;
constexpr int kViewerVerticalScroll = 5;
constexpr int kViewerWidth = 101;
constexpr int kViewerHeight = 102;
constexpr int kViewerBottomRow = 103;

// The device point of a pixel: its centre, y turned upwards.
void DevicePoint(int px, int py, int height, float& dx, float& dy)
{
    dx = static_cast<float>(px + 0.5);
    dy = static_cast<float>(height - py - 1 + 0.5);
}

} // namespace

float EventWorldValue(int word) { return std::bit_cast<float>(word); }
int EventWorldWord(float value) { return std::bit_cast<int>(value); }

void YYViewerToWorld(float dx, float dy, float& wx, float& wy, int n)
{
    const GraphicsState& g = gGraphicsState;
    int W = 0, Hb = 0, sx = 0, v = 0;
    BitmapViewerInfo(n, kViewerWidth, W);
    BitmapViewerInfo(n, kViewerHeight, Hb);
    BitmapViewerInfo(n, kViewerHorizontalScroll, sx);
    BitmapViewerInfo(n, kViewerBottomRow, v);
    double fx1 = g.areaFractions[0], fy1 = g.areaFractions[1];
    double fw = g.areaFractionSize[0], fh = g.areaFractionSize[1];
    double uw = g.unitSize[0], uh = g.unitSize[1];
    double sxw = uw != 0.0 ? W * fw / uw : 0.0;
    double syh = uh != 0.0 ? Hb * fh / uh : 0.0;
    wx = static_cast<float>(g.units[0] + (sxw != 0.0 ? (sx + dx - W * fx1) / sxw : 0.0));
    wy = static_cast<float>(g.units[1] + (syh != 0.0 ? (Hb - v - Hb * fy1 + dy) / syh : 0.0));
}

void YYEventWorldCoords(int type, EventMessage& m)
{
    GraphicsState& g = gGraphicsState;
    m.x = m.pixelX;
    m.y = m.pixelY;
    if (type < 1 || type == 2 || type == 3 || (type >= 9 && type <= 14))
        return;
    int px = m.pixelX, py = m.pixelY;
    float wx = 0.0f, wy = 0.0f, dx = 0.0f, dy = 0.0f;
    if (type == 15) {
        DevicePoint(px, py, g.targetHeight, dx, dy);
        YYViewerToWorld(dx, dy, wx, wy, m.window);
        m.worldX = EventWorldWord(wx);
        m.worldY = EventWorldWord(wy);
        m.x = 0;
        m.y = 0;
        return;
    }

    // The event's target, and the geometry switched to it when it is not
    // the drawing target.
    bool areaEvent = m.value3 == 1;
    bool viewerEvent = m.value3 == 2;
    int kind = areaEvent ? kTargetDialogField : kTargetWindow;
    bool isTarget = areaEvent ? (g.targetKind == kind && g.targetDialog == m.window && g.targetId == m.value4)
                              : (g.targetKind == kind && g.targetId == m.window);
    bool switched = false;
    auto savedArea = g.deviceArea;
    auto savedSize = g.areaSize;
    int savedHeight = g.targetHeight;
    int savedDialog = WindowCurrentDialog();
    int savedClientW = gLibraryState.currentWindowWidth;
    int savedClientH = gLibraryState.currentWindowHeight;
    bool clientSizeSet = false;
    if (!isTarget) {
        switched = true;
        if (areaEvent && WindowCurrentDialog() != m.window)
            GraphicsDialogSelect(m.window);
        int w = 0, h = 0;
        TargetClientSize(kind, areaEvent ? m.value4 : m.window, w, h);
        const auto& f = g.areaFractions;
        float lw = static_cast<float>(w) - 0.01f, lh = static_cast<float>(h) - 0.01f;
        g.deviceArea[0] = f[0] * lw;
        g.deviceArea[1] = f[1] * lh;
        g.areaSize = {(f[2] - f[0]) * lw, (f[3] - f[1]) * lh};
        g.deviceArea[2] = g.deviceArea[0] + g.areaSize[0];
        g.deviceArea[3] = g.deviceArea[1] + g.areaSize[1];
        gLibraryState.currentWindowWidth = w;
        gLibraryState.currentWindowHeight = h;
        g.targetHeight = h;
    }
    int H = g.targetHeight;

    switch (type) {
    case 1:
    case 4:
    case 5:
    case 6:
    case 16: {
        DevicePoint(px, py, H, dx, dy);
        if (viewerEvent) {
            YYViewerToWorld(dx, dy, wx, wy, m.window);
            int sx = 0, sy = 0;
            BitmapViewerInfo(m.window, kViewerHorizontalScroll, sx);
            BitmapViewerInfo(m.window, kViewerVerticalScroll, sy);
            m.pixelX += sx;
            m.pixelY += sy;
        } else {
            YYDeviceToWorld(dx, dy, wx, wy);
        }
        m.worldX = EventWorldWord(wx);
        m.worldY = EventWorldWord(wy);
        if (!areaEvent)
            YYPixelToNormal(px, py, m.x, m.y);
        break;
    }
    case 7: {
        DevicePoint(px, py, H, dx, dy);
        YYDeviceToWorld(dx, dy, wx, wy);
        m.worldX = EventWorldWord(wx);
        m.worldY = EventWorldWord(wy);
        int fx = px + m.value1 - 1, fy = py + m.value2 - 1;
        DevicePoint(fx, fy, H, dx, dy);
        YYDeviceToWorld(dx, dy, wx, wy);
        m.cornerWorldX = EventWorldWord(wx);
        m.cornerWorldY = EventWorldWord(wy);
        int nx = 0, ny = 0, fnx = 0, fny = 0;
        YYPixelToNormal(px, py, nx, ny);
        YYPixelToNormal(fx, fy, fnx, fny);
        m.x = nx;
        m.y = ny;
        m.value1 = fnx - nx;
        m.value2 = fny - ny;
        break;
    }
    case 8:
        if (!areaEvent) {
            if (m.window == gLibraryState.currentWindow) {
                gLibraryState.currentWindowWidth = m.value1;
                gLibraryState.currentWindowHeight = m.value2;
                clientSizeSet = true;
            }
            if (g.targetKind == kTargetWindow && g.targetId == m.window) {
                YYTargetSetSize(kTargetWindow, m.window, m.value1, m.value2);
                // The area now follows the new size: nothing to restore.
                savedArea = g.deviceArea;
                savedSize = g.areaSize;
                savedHeight = g.targetHeight;
            }
        } else if (g.targetKind == kTargetDialogField && g.targetDialog == m.window && g.targetId == m.value4) {
            YYTargetSetSize(kTargetDialogField, m.value4, m.value1, m.value2);
            savedArea = g.deviceArea;
            savedSize = g.areaSize;
            savedHeight = g.targetHeight;
        }
        break;
    default:
        break;
    }

    if (switched) {
        if (WindowCurrentDialog() != savedDialog && savedDialog != 0)
            GraphicsDialogSelect(savedDialog);
        g.deviceArea = savedArea;
        g.areaSize = savedSize;
        g.targetHeight = savedHeight;
        if (!clientSizeSet) {
            gLibraryState.currentWindowWidth = savedClientW;
            gLibraryState.currentWindowHeight = savedClientH;
        }
    }
}
