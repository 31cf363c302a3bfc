// Drives the windows that a grid editor's dialog and file routines put up,
// one step per window in the order they come (a library dialog, a message
// box, a file dialog), and records each window's title and message text. A
// window without a step left is cancelled, and the dialogs pilot's watchdog
// cancels one still up long after its step ran.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/modal_pilot.h"
#include "dialogs/pilot_steps.h"

struct SeenWindow {
    std::string title;
    std::string text; // the first static text that is not empty (a box's message)
};

class EditorPilot {
public:
    using Step = std::function<void(HWND window)>;

    explicit EditorPilot(std::vector<Step> steps)
        : steps_(std::move(steps)), pilot_([this](HWND w) { Run(w); })
    {
    }
    const std::vector<SeenWindow>& Seen() const { return seen_; }
    int Rescued() const { return pilot_.Rescued(); }

    // Step helpers: click a button of a box or dialog; type into a field.
    static Step Press(int id)
    {
        return [id](HWND w) {
            PostMessageA(w, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(w, id)));
        };
    }
    static void Click(HWND w, int id) { PostMessageA(GetDlgItem(w, id), BM_CLICK, 0, 0); }
    // Types TEXT over the whole contents of field ID, as keys would.
    static void SetText(HWND w, int id, const std::string& text)
    {
        HWND field = GetDlgItem(w, id);
        SendMessageA(field, EM_SETSEL, 0, -1);
        SendMessageA(field, WM_CHAR, VK_BACK, 1);
        for (char c : text)
            SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
    }

private:
    static std::string Text(HWND w)
    {
        char buf[2048] = {};
        SendMessageA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
        return buf;
    }
    void Run(HWND w)
    {
        SeenWindow s;
        s.title = Text(w);
        for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            char cls[32] = {};
            GetClassNameA(c, cls, sizeof cls);
            if (_stricmp(cls, "Static") == 0 && (GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
                s.text = Text(c);
                if (!s.text.empty())
                    break;
            }
        }
        seen_.push_back(s);
        if (next_ < steps_.size())
            steps_[next_++](w);
        else
            PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    }

    std::vector<Step> steps_;
    size_t next_ = 0;
    std::vector<SeenWindow> seen_;
    ModalPilot pilot_;
};
