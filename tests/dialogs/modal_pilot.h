// Drives the modal dialogs of this thread in a test: a WH_CBT hook sees each
// dialog window ("#32770") when it is activated, and a thread timer, which
// the modal loop itself dispatches, runs the test's script on it once it is
// up. The script reads what the test wants to know and posts the stimuli
// (a click, characters); a watchdog posts the cancel command when a dialog
// is still up long after its script ran, so that a missed stimulus fails
// the test instead of hanging it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class ModalPilot {
public:
    using Script = std::function<void(HWND dialog)>;

    explicit ModalPilot(Script script) : script_(std::move(script))
    {
        Instance() = this;
        hook_ = SetWindowsHookExA(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
    }
    ~ModalPilot()
    {
        if (hook_)
            UnhookWindowsHookEx(hook_);
        if (watchdog_)
            KillTimer(nullptr, watchdog_);
        Instance() = nullptr;
    }
    ModalPilot(const ModalPilot&) = delete;
    ModalPilot& operator=(const ModalPilot&) = delete;

    bool Installed() const { return hook_ != nullptr; }
    // Dialogs whose script ran.
    int Runs() const { return runs_; }
    // Dialogs the watchdog had to cancel.
    int Rescued() const { return rescued_; }

    // Posts a click on control ID of DIALOG.
    static void Click(HWND dialog, int id)
    {
        HWND button = GetDlgItem(dialog, id);
        PostMessageA(button, BM_CLICK, 0, 0);
    }
    // Posts the characters of TEXT to control ID of DIALOG.
    static void Type(HWND dialog, int id, const std::string& text)
    {
        HWND field = GetDlgItem(dialog, id);
        for (char c : text)
            PostMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
    }

private:
    static ModalPilot*& Instance()
    {
        static ModalPilot* instance = nullptr;
        return instance;
    }

    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam)
    {
        ModalPilot* self = Instance();
        if (code == HCBT_ACTIVATE && self) {
            auto dialog = reinterpret_cast<HWND>(wParam);
            char cls[16] = {};
            GetClassNameA(dialog, cls, sizeof cls);
            // Handles of dialogs that are gone may come back for new ones.
            std::erase_if(self->seen_, [](HWND h) { return !IsWindow(h); });
            if (std::string(cls) == "#32770" && !self->Known(dialog)) {
                self->seen_.push_back(dialog);
                self->pending_ = dialog;
                SetTimer(nullptr, 0, 1, RunScript);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static void CALLBACK RunScript(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(nullptr, id);
        ModalPilot* self = Instance();
        if (!self || !self->pending_ || !IsWindow(self->pending_))
            return;
        HWND dialog = self->pending_;
        self->pending_ = nullptr;
        ++self->runs_;
        self->current_ = dialog;
        self->script_(dialog);
        if (self->watchdog_)
            KillTimer(nullptr, self->watchdog_);
        self->watchdog_ = SetTimer(nullptr, 0, 8000, Rescue);
    }

    static void CALLBACK Rescue(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(nullptr, id);
        ModalPilot* self = Instance();
        if (!self)
            return;
        self->watchdog_ = 0;
        if (self->current_ && IsWindow(self->current_) && IsWindowVisible(self->current_)) {
            ++self->rescued_;
            PostMessageA(self->current_, WM_COMMAND, IDCANCEL, 0);
        }
    }

    bool Known(HWND dialog) const
    {
        for (HWND h : seen_)
            if (h == dialog)
                return true;
        return false;
    }

    Script script_;
    HHOOK hook_ = nullptr;
    HWND pending_ = nullptr;
    HWND current_ = nullptr;
    UINT_PTR watchdog_ = 0;
    int runs_ = 0;
    int rescued_ = 0;
    std::vector<HWND> seen_;
};
