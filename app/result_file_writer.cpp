// Writing the result files, directly or on the writing thread.
#include "app/result_file_writer.h"

#include "core/fp_traps.h"

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Writes TEXT as the whole content of file NAME (created, or emptied when it
// exists) in one call.
int WriteWholeFile(const char* name, const std::string& text)
{
    std::FILE* f = std::fopen(name, "wb");
    if (!f)
        return kResultFilesOpenFailed;
    // The text is the file: no copy through the run-time's buffer.
    std::setvbuf(f, nullptr, _IONBF, 0);
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fflush(f) == 0 && !std::ferror(f) && ok;
    ok = std::fclose(f) == 0 && ok;
    return ok ? kResultFilesOk : kResultFilesWriteFailed;
}

// The writing thread and the one job it holds. The thread waits for a job,
// writes its files and reports; it ends with the process (the destructor
// lets it finish a job it holds first).
class WritingThread {
public:
    // The thread computes (it forms the texts) under the floating-point
    // traps of the thread that starts it.
    WritingThread() : traps_(FloatingPointTrapsActive()), thread_([this] { Run(); }) {}

    ~WritingThread()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    void Start(std::span<const ResultFile> files, std::function<bool()> form)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return state_ != State::Queued; });
        job_.assign(files.begin(), files.end());
        form_ = std::move(form);
        state_ = State::Queued;
        lock.unlock();
        changed_.notify_all();
    }

    int Finish(size_t& failed)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return state_ != State::Queued; });
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

    void Run()
    {
        if (traps_)
            FloatingPointTrapsEnable();
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return stop_ || state_ == State::Queued; });
            if (state_ != State::Queued)
                return; // stopped with nothing to write
            // The job stays as it is while it is queued: Start waits.
            lock.unlock();
            size_t failed = 0;
            const int status = form_ && !form_() ? kResultFilesWriteFailed : ResultFilesWrite(job_, failed);
            lock.lock();
            status_ = status;
            failed_ = failed;
            state_ = State::Done;
            changed_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_; // the state changed, or a stop was asked for
    std::vector<ResultFile> job_;
    std::function<bool()> form_;
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

int ResultFilesWrite(std::span<const ResultFile> files, size_t& failed)
{
    failed = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        const int status = WriteWholeFile(files[i].name, *files[i].text);
        if (status != kResultFilesOk) {
            failed = i;
            return status;
        }
    }
    return kResultFilesOk;
}

void ResultFilesStart(std::span<const ResultFile> files, std::function<bool()> form)
{
    Writer().Start(files, std::move(form));
}

int ResultFilesFinish(size_t& failed) { return Writer().Finish(failed); }
