// Shared set-up of the grid tests, on top of the dialog tests' fixture (clean
// dialog table, events through the library's own wait with a watchdog): the
// grid classes registered before any dialog of the test resources is loaded,
// keys sent to the in-cell editor with Shift and Ctrl set through the keyboard
// state, actions run from inside the wait, direct access to the cells, and the
// pixel at a computed cell centre.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

#include "core/errors.h"
#include "core/events.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_subclass.h"
#include "grid/grid_record.h"
#include "support/dialog_fixture.h"
#include "support/poll.h"

using GridEvent = SeenEvent;
// Value1 of the timer event the watchdog stores when no event came in time.
constexpr int kGridWatchdogId = kWatchdogId;

class GridFixture : public DialogFixture {
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        GridRegisterClasses();
        gGridSwitches = GridSwitches{};
        gGridRedrawFlag = 1;
        Keys(false, false);
        Drain();
    }
    void TearDown() override
    {
        Keys(false, false);
        DialogFixture::TearDown();
    }

    // Shows DIALOG as the active window, near the screen's top left corner.
    static void Show(HWND dialog)
    {
        SetWindowPos(dialog, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(dialog);
        SetActiveWindow(dialog);
        PollUntil([dialog] { return GetActiveWindow() == dialog; }, 5000);
        Drain();
        gActiveDialog = dialog;
    }

    // Shift and Ctrl as the thread's keyboard state shows them.
    static void Keys(bool shift, bool ctrl)
    {
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_LSHIFT] = 0;
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_LCONTROL] = 0;
        SetKeyboardState(state);
    }

    // A key pressed in the grid's current in-cell editor.
    static void Press(HWND grid, int vk, bool shift = false, bool ctrl = false)
    {
        GridRecord* r = GridRecordOf(grid);
        ASSERT_NE(r, nullptr);
        ASSERT_NE(r->editor, nullptr);
        Keys(shift, ctrl);
        SendMessageA(r->editor, WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
        Keys(false, false);
    }

    static std::function<void()>& Pending()
    {
        static std::function<void()> action;
        return action;
    }
    static void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(nullptr, id);
        auto action = std::move(Pending());
        Pending() = nullptr;
        if (action)
            action();
    }
    // Runs ACTION from inside the next wait for an event.
    static void DuringWait(std::function<void()> action)
    {
        Pending() = std::move(action);
        SetTimer(nullptr, 0, 1, RunPending);
    }

    // The next event from WMessageWait, or a timer event kGridWatchdogId.
    static GridEvent Next(int timeoutMs = 3000) { return DialogFixture::Next(timeoutMs); }
    static bool IsWatchdog(const GridEvent& e) { return e.type == kEventTimer && e.m.value1 == kGridWatchdogId; }

    static std::string Describe(const GridEvent& e)
    {
        return "type " + std::to_string(e.type) + " window " + std::to_string(e.m.window) + " values " +
               std::to_string(e.m.value1) + ", " + std::to_string(e.m.value2) + ", " + std::to_string(e.m.value3) +
               " x " + std::to_string(e.m.pixelX) + " y " + std::to_string(e.m.pixelY);
    }

    // ---- Cells -----------------------------------------------------------------
    static void PutText(GridRecord* r, int col, int row, const char* text)
    {
        GridTextCellSet(r->column[col], row, text);
    }
    static void PutInt(GridRecord* r, int col, int row, int value, bool hasValue = true)
    {
        GridIntCell(r->column[col], row) = value;
        SetValueBits(r, col, row, hasValue);
    }
    static void PutReal(GridRecord* r, int col, int row, float value)
    {
        GridRealCell(r->column[col], row) = value;
        SetValueBits(r, col, row, true);
    }
    static void PutDouble(GridRecord* r, int col, int row, double value)
    {
        GridDoubleCell(r->column[col], row) = value;
        SetValueBits(r, col, row, true);
    }
    static void SetValueBits(GridRecord* r, int col, int row, bool on)
    {
        uint8_t& s = r->column[col].states[row];
        s = on ? static_cast<uint8_t>(s | kCellHasValue | kCellNonBlank)
               : static_cast<uint8_t>(s & ~(kCellHasValue | kCellNonBlank));
    }

    // ---- Pixels ------------------------------------------------------------------
    static POINT CellCentre(GridRecord* r, int col, int row)
    {
        RECT in = GridCellInterior(r, col, row);
        return POINT{(in.left + in.right) / 2, (in.top + in.bottom) / 2};
    }
    static COLORREF PixelAt(HWND window, POINT p)
    {
        HDC dc = GetDC(window);
        COLORREF c = GetPixel(dc, p.x, p.y);
        ReleaseDC(window, dc);
        return c;
    }
    static void Repaint(GridRecord* r)
    {
        RedrawWindow(r->cellArea, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
};

// A fixture with one grid field loaded: its dialog, its window and its record.
class GridFieldFixture : public GridFixture {
protected:
    void Open(int resource, int id)
    {
        dialog = Load(resource);
        ASSERT_NE(dialog, nullptr);
        grid = GetDlgItem(dialog, id);
        r = GridRecordOf(grid);
        ASSERT_NE(r, nullptr);
    }
    HWND dialog = nullptr;
    HWND grid = nullptr;
    GridRecord* r = nullptr;
};
