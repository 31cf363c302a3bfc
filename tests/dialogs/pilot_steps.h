// Several stimuli for one dialog, each after the one before has been handled:
// the steps run one per tick of a thread timer, and a timer message arrives
// only when the queue holds nothing else, so the clicks and notifications a
// step posts are handled (and the events they raise taken by the code under
// test) before the next step runs. Also a delayed command for a dialog that
// stays up after a nested box has gone.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class PilotSteps {
public:
    using Step = std::function<void(HWND dialog)>;

    explicit PilotSteps(std::vector<Step> steps) : steps_(std::move(steps)) {}
    ~PilotSteps()
    {
        if (timer_)
            KillTimer(nullptr, timer_);
        if (Instance() == this)
            Instance() = nullptr;
    }
    PilotSteps(const PilotSteps&) = delete;
    PilotSteps& operator=(const PilotSteps&) = delete;

    // Starts the steps on DIALOG (from a ModalPilot script).
    void Start(HWND dialog)
    {
        dialog_ = dialog;
        next_ = 0;
        Instance() = this;
        timer_ = SetTimer(nullptr, 0, 10, Tick);
    }
    size_t Done() const { return next_; }

    // Posts WM_COMMAND COMMAND to WINDOW once the queue is idle.
    static void PostWhenIdle(HWND window, int command)
    {
        Pending() = {window, command};
        SetTimer(nullptr, 0, 10, PostPending);
    }

private:
    static PilotSteps*& Instance()
    {
        static PilotSteps* instance = nullptr;
        return instance;
    }
    static std::pair<HWND, int>& Pending()
    {
        static std::pair<HWND, int> pending{};
        return pending;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        PilotSteps* self = Instance();
        if (!self || self->next_ >= self->steps_.size() || !IsWindow(self->dialog_)) {
            KillTimer(nullptr, id);
            if (self)
                self->timer_ = 0;
            return;
        }
        self->steps_[self->next_++](self->dialog_);
    }
    static void CALLBACK PostPending(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(nullptr, id);
        auto [window, command] = Pending();
        if (window && IsWindow(window))
            PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(command), 0);
    }

    std::vector<Step> steps_;
    HWND dialog_ = nullptr;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
};

// Text of a window (through WM_GETTEXT) and of a dialog's control.
inline std::string WindowText(HWND w)
{
    char buf[1024] = {};
    SendMessageA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    return buf;
}
inline std::string ControlText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}
