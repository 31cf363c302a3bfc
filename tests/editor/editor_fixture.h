// Shared set-up of the editor tests: the library and its main window once
// for the program, a popup child window per editor, a scratch folder for
// files, and helpers to read the editor's text and files.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "core/child_windows.h"
#include "core/events.h"
#include "core/library_start.h"
#include "core/library_state.h"
#include "core/main_window.h"
#include "core/window_table.h"
#include "editor/editor.h"
#include "editor/editor_record.h"
#include "graphics/graphics_state.h"
#include "support/child_process.h"
#include "support/poll.h"

class EditorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (gLibraryState.mainWindowOpen)
            return;
        WLibraryStart();
        int flags = kWindowFlagsDefault, x = 20, y = 20, w = 300, h = 200;
        WindowOpen(&flags, &x, &y, &w, &h, nullptr, nullptr, nullptr, "Editor tests");
        Folder() = startup_test::NewScratchFolder();
    }

    void TearDown() override
    {
        for (int n = 1; n <= kLastWindow; ++n)
            if (gWindowTable.frame[n])
                WindowCloseChild(n);
        EditorRichEditVersionForce(0);
        EditorBufferSaveFailures(0);
        gWindowSystem.semiModelessCount = 0;
        Pump();
        gCurrentEventSlot = CurrentEventSlot{};
        for (auto& p : gPendingEventTable.entry)
            p.type = 0;
    }

    static std::string& Folder()
    {
        static std::string folder;
        return folder;
    }
    static std::string Path(const std::string& name) { return Folder() + "\\" + name; }

    static void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    // A popup child window (status bar when STATUSBAR) made current.
    static int OpenWindow(bool statusBar = true, const char* title = "Editor")
    {
        int n = -1, flags = kWindowFlagsDefault | (statusBar ? kWindowStatusBar : 0);
        int x = 340, y = 30, w = 520, h = 360;
        WindowOpenChild(n, &flags, &x, &y, &w, &h, nullptr, nullptr, nullptr, title);
        return n;
    }

    // Opens a window and makes it a modeless editor; nullptr on failure.
    static EditorRecord* Create(int options, const std::string& file = "", int* statusOut = nullptr,
                                std::string_view filter = {}, int menuId = 0)
    {
        int n = OpenWindow();
        if (n < 0)
            return nullptr;
        int status = 0, mode = 2;
        EditorCreate(status, mode, menuId, options, 4, 10, -1, -1, file, filter);
        if (statusOut)
            *statusOut = status;
        return EditorRecordOf(gWindowTable.frame[n]);
    }

    static std::string Text()
    {
        std::string buffer(4 << 20, '\0');
        int status = -9;
        EditorTextCopyOut(status, buffer);
        return buffer.c_str();
    }

    static int Info(int code, int window = -2)
    {
        int result = -99;
        EditorInfoGet(window == -2 ? gWindowSystem.currentWindow : window, code, result);
        return result;
    }

    // The events of TYPE stored so far in the current slot (the slot keeps
    // only the last one): drains it.
    static int TakeEvent(int type, int& value1)
    {
        if (gCurrentEventSlot.type != type)
            return 0;
        value1 = gCurrentEventSlot.value1;
        gCurrentEventSlot.type = 0;
        return 1;
    }

    static void Write(const std::string& name, const std::string& bytes) { startup_test::WriteFile(name, bytes); }
    static std::string Read(const std::string& name) { return startup_test::ReadFile(name); }
};
