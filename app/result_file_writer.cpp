// Writing the result files, here or on the writing thread.
#include "app/result_file_writer.h"

#include "core/fp_traps.h"
#include "core/os_services.h"

#include <windows.h>

#include <cstdio>
#include <thread>
#include <vector>

namespace {

// A result file being written: created (or emptied), then written in one
// call and closed. A name longer than the library takes opens nothing.
class OpenResultFile {
public:
    explicit OpenResultFile(const char* name) : file_(OsFileNameFits(name) ? std::fopen(name, "wb") : nullptr)
    {
        // The text is the file: no copy through the run-time's buffer.
        if (file_)
            std::setvbuf(file_, nullptr, _IONBF, 0);
    }
    ~OpenResultFile()
    {
        if (file_)
            std::fclose(file_);
    }
    OpenResultFile(OpenResultFile&& other) noexcept : file_(other.file_) { other.file_ = nullptr; }
    OpenResultFile(const OpenResultFile&) = delete;
    OpenResultFile& operator=(const OpenResultFile&) = delete;
    OpenResultFile& operator=(OpenResultFile&&) = delete;

    bool IsOpen() const { return file_ != nullptr; }

    // Writes TEXT and closes the file; the status of both.
    int WriteAndClose(const std::string& text)
    {
        bool ok = std::fwrite(text.data(), 1, text.size(), file_) == text.size();
        ok = std::fflush(file_) == 0 && !std::ferror(file_) && ok;
        ok = std::fclose(file_) == 0 && ok;
        file_ = nullptr;
        return ok ? kResultFilesOk : kResultFilesWriteFailed;
    }

private:
    std::FILE* file_;
};

// The writing thread and the one job it holds. The thread waits for a job,
// writes its files and reports; it ends with the process (the destructor
// lets it finish a job it holds first).
//
// Its state is guarded by a slim reader/writer lock and waited for on the
// system's condition variable: a thread asleep on these is woken within
// microseconds, where a wait on an event or semaphore (what the run-time's
// std::condition_variable uses) costs a round trip through the system's
// server each way, a large part of a whole change.
class WritingThread {
public:
    // The thread computes (it forms the texts) under the floating-point
    // traps of the thread that starts it.
    WritingThread() : traps_(FloatingPointTrapsActive()), thread_([this] { Run(); }) {}

    ~WritingThread()
    {
        {
            Guard guard(lock_);
            stop_ = true;
        }
        WakeAllConditionVariable(&changed_);
        thread_.join();
    }

    void Start(std::span<const ResultFile> files, std::function<bool()> form, size_t formFrom, bool ahead,
               std::function<void()> prepare)
    {
        {
            Guard guard(lock_);
            Await([this] { return state_ != State::Queued; });
            job_.assign(files.begin(), files.end());
            prepare_ = std::move(prepare);
            prepared_ = !prepare_;
            form_ = std::move(form);
            formFrom_ = formFrom;
            ahead_ = ahead;
            formed_ = 0;
            formFailed_ = false;
            state_ = State::Queued;
        }
        WakeAllConditionVariable(&changed_);
    }

    void Formed(int count)
    {
        {
            Guard guard(lock_);
            if (count < 0)
                formFailed_ = true;
            else
                formed_ = count;
        }
        WakeAllConditionVariable(&changed_);
    }

    void Prepared()
    {
        Guard guard(lock_);
        Await([this] { return prepared_ || state_ != State::Queued; });
    }

    int Finish(size_t& failed)
    {
        Guard guard(lock_);
        Await([this] { return state_ != State::Queued; });
        if (state_ == State::Idle) {
            failed = 0;
            return kResultFilesOk;
        }
        state_ = State::Idle;
        failed = failed_;
        return status_;
    }

private:
    enum class State { Idle, Queued, Done };

    // Holds the lock for a scope.
    class Guard {
    public:
        explicit Guard(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
        ~Guard() { ReleaseSRWLockExclusive(&lock_); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        SRWLOCK& lock_;
    };

    // With the lock held: sleeps until READY() holds.
    template <class Ready>
    void Await(Ready ready)
    {
        while (!ready())
            SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
    }

    // Waits until the caller has formed the first COUNT texts; false when it
    // could not. A stop (the process ending) does not wait for a caller gone.
    bool AwaitFormed(int count)
    {
        Guard guard(lock_);
        Await([this, count] { return formed_ >= count || formFailed_ || stop_; });
        return formed_ >= count;
    }

    // The job's files in their order; the status, the failed file in FAILED.
    // The job stays as it is while it is queued: Start waits.
    int WriteJob(size_t& failed)
    {
        if (prepare_) {
            prepare_();
            {
                Guard guard(lock_);
                prepared_ = true;
            }
            WakeAllConditionVariable(&changed_);
        }
        if (ahead_)
            return WriteAhead(failed);
        failed = 0;
        for (size_t i = 0; i < job_.size(); ++i) {
            failed = i;
            if (i == formFrom_ && form_ && !form_())
                return kResultFilesWriteFailed;
            OpenResultFile file(job_[i].name);
            if (!file.IsOpen())
                return kResultFilesOpenFailed;
            const int status = file.WriteAndClose(*job_[i].text);
            if (status != kResultFilesOk)
                return status;
        }
        failed = 0;
        return kResultFilesOk;
    }

    // A job started ahead: its files are all created (or emptied) first, up
    // to the first that cannot be, while the caller forms the first text;
    // then each is written and closed as soon as its text is formed. The
    // files opened after one that fails to be written or formed are left
    // empty, and closed.
    int WriteAhead(size_t& failed)
    {
        std::vector<OpenResultFile> open;
        open.reserve(job_.size());
        for (const ResultFile& file : job_) {
            open.emplace_back(file.name);
            if (!open.back().IsOpen()) {
                open.pop_back();
                break;
            }
        }
        int status = kResultFilesOk;
        for (size_t i = 0; i < open.size() && status == kResultFilesOk; ++i) {
            failed = i;
            status = AwaitFormed(static_cast<int>(i) + 1) ? open[i].WriteAndClose(*job_[i].text)
                                                           : kResultFilesWriteFailed;
        }
        if (status == kResultFilesOk && open.size() < job_.size()) {
            failed = open.size();
            status = kResultFilesOpenFailed;
        }
        if (status == kResultFilesOk)
            failed = 0;
        return status;
    }

    void Run()
    {
        if (traps_)
            FloatingPointTrapsEnable();
        for (;;) {
            {
                Guard guard(lock_);
                Await([this] { return stop_ || state_ == State::Queued; });
                if (state_ != State::Queued)
                    return; // stopped with nothing to write
            }
            size_t failed = 0;
            const int status = WriteJob(failed);
            {
                Guard guard(lock_);
                status_ = status;
                failed_ = failed;
                state_ = State::Done;
            }
            WakeAllConditionVariable(&changed_);
        }
    }

    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT; // the state or the formed count changed, or a stop was asked for
    std::vector<ResultFile> job_;
    std::function<void()> prepare_;
    bool prepared_ = true; // the job's preparation has run (or it has none)
    std::function<bool()> form_;
    size_t formFrom_ = 0; // the first file whose text FORM_ forms
    bool ahead_ = false;
    int formed_ = 0;          // texts the caller has formed (ahead)
    bool formFailed_ = false; // the next could not be formed
    State state_ = State::Idle;
    int status_ = kResultFilesOk;
    size_t failed_ = 0;
    bool stop_ = false;
    const bool traps_;
    std::thread thread_; // last: starts when the members above are ready
};

WritingThread& Writer()
{
    static WritingThread writer;
    return writer;
}

} // namespace

int ResultFileWrite(const ResultFile& file)
{
    OpenResultFile open(file.name);
    return open.IsOpen() ? open.WriteAndClose(*file.text) : kResultFilesOpenFailed;
}

void ResultFilesStart(std::span<const ResultFile> files, std::function<bool()> form, size_t formFrom,
                      std::function<void()> prepare)
{
    Writer().Start(files, std::move(form), formFrom, false, std::move(prepare));
}

void ResultFilesPrepared() { Writer().Prepared(); }

void ResultFilesStartAhead(std::span<const ResultFile> files) { Writer().Start(files, {}, 0, true, {}); }

void ResultFilesFormed(int count) { Writer().Formed(count); }

int ResultFilesFinish(size_t& failed) { return Writer().Finish(failed); }
