// Answers message boxes of this thread for a test: a WH_CBT hook sees each box
// as it is activated, records what it shows (title, text, buttons, default
// button, icon) and posts the click of the chosen button, so that the modal
// call returns without any waiting in the test.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

struct SeenBox {
    std::string title;
    std::string text;
    std::vector<int> buttons; // command ids present (IDOK, IDCANCEL, ...)
    int defaultButton = 0;    // command id of the button styled as default, 0 none
    bool hasIcon = false;
    HWND owner = nullptr;     // the box's owner window
};

class BoxAutopilot {
public:
    // ANSWER: the command id to click (IDOK, IDCANCEL, IDYES, ...). LOGFILE,
    // when given, gets one line per box: title, '|', text (CR shown as '\r').
    explicit BoxAutopilot(int answer, const char* logFile = nullptr)
    {
        Instance() = this;
        answer_ = answer;
        if (logFile)
            logFile_ = logFile;
        hook_ = SetWindowsHookExA(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
    }
    ~BoxAutopilot()
    {
        if (hook_)
            UnhookWindowsHookEx(hook_);
        Instance() = nullptr;
    }
    BoxAutopilot(const BoxAutopilot&) = delete;
    BoxAutopilot& operator=(const BoxAutopilot&) = delete;

    void SetAnswer(int answer) { answer_ = answer; }
    const std::vector<SeenBox>& Seen() const { return seen_; }
    bool Installed() const { return hook_ != nullptr; }

private:
    static BoxAutopilot*& Instance()
    {
        static BoxAutopilot* instance = nullptr;
        return instance;
    }

    static std::string WindowText(HWND w)
    {
        char buf[1024] = {};
        if (w)
            SendMessageA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
        return buf;
    }

    // The hook sees the box before its initialisation has ended; a thread
    // timer, run by the box's own message loop, reads and answers it once
    // the box is up.
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam)
    {
        BoxAutopilot* self = Instance();
        if (code == HCBT_ACTIVATE && self) {
            HWND box = reinterpret_cast<HWND>(wParam);
            char cls[64] = {};
            GetClassNameA(box, cls, sizeof cls);
            if (std::string(cls) == "#32770" && !self->Known(box)) {
                self->handled_.push_back(box);
                self->pending_ = box;
                self->timer_ = SetTimer(nullptr, 0, 1, TimerProc);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(nullptr, id);
        BoxAutopilot* self = Instance();
        if (!self || !self->pending_ || !IsWindow(self->pending_))
            return;
        HWND box = self->pending_;
        self->pending_ = nullptr;
        self->Record(box);
        HWND button = GetDlgItem(box, self->answer_);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(self->answer_, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    }

    bool Known(HWND box) const
    {
        for (HWND h : handled_)
            if (h == box)
                return true;
        return false;
    }

    void Record(HWND box)
    {
        SeenBox s;
        s.title = WindowText(box);
        s.owner = GetWindow(box, GW_OWNER);
        // The message text is the static control whose text is not empty and
        // which is not a button.
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            char cls[32] = {};
            GetClassNameA(c, cls, sizeof cls);
            int id = GetDlgCtrlID(c);
            LONG style = GetWindowLongA(c, GWL_STYLE);
            if (_stricmp(cls, "Button") == 0) {
                if (style & WS_VISIBLE)
                    s.buttons.push_back(id);
                if ((style & 0x0F) == BS_DEFPUSHBUTTON)
                    s.defaultButton = id;
            } else if (_stricmp(cls, "Static") == 0) {
                if ((style & SS_TYPEMASK) == SS_ICON) {
                    if (SendMessageA(c, STM_GETICON, 0, 0))
                        s.hasIcon = true;
                } else {
                    std::string t = WindowText(c);
                    if (!t.empty())
                        s.text = t;
                }
            }
        }
        seen_.push_back(s);
        if (!logFile_.empty()) {
            if (std::FILE* f = std::fopen(logFile_.c_str(), "ab")) {
                std::string line = s.title + "|";
                for (char ch : s.text)
                    line += ch == '\r' ? std::string("\\r") : ch == '\n' ? std::string("\\n") : std::string(1, ch);
                line += "\n";
                std::fwrite(line.data(), 1, line.size(), f);
                std::fclose(f);
            }
        }
    }

    HHOOK hook_ = nullptr;
    HWND pending_ = nullptr;
    UINT_PTR timer_ = 0;
    int answer_ = IDOK;
    std::string logFile_;
    std::vector<HWND> handled_;
    std::vector<SeenBox> seen_;
};
