// The editor buffer store.
#include "editor/editor_buffers.h"

#include <algorithm>
#include <cstring>

#include "core/fixed_text.h"
#include "core/layer_steps.h"

EditorBufferStore gEditorBufferStore;

namespace {

void EntryClear(EditorBufferRecord& e)
{
    e = EditorBufferRecord{};
}

} // namespace

EditorBufferRecord* EditorBufferEntry(int window, int buffer)
{
    if (window < 0 || window >= kEditorBufferWindows || buffer < 1 || buffer > kEditorBuffers)
        return nullptr;
    return &gEditorBufferStore.records[window][buffer - 1];
}

void EditorBufferStoreCreate()
{
    for (auto& row : gEditorBufferStore.records)
        for (auto& e : row)
            EntryClear(e);
}

void EditorBufferStoreShutdown()
{
    // Clearing an entry releases its blocks, so window 0's blocks are freed
    // too rather than dropped with their flags.
    EditorBufferStoreCreate();
}

void EditorBufferStoreRelease(int window)
{
    if (window < 0 || window >= kEditorBufferWindows)
        return;
    for (auto& e : gEditorBufferStore.records[window])
        EntryClear(e);
}

void YYEditBufferPutName(int window, int buffer, std::string_view name)
{
    EditorBufferRecord* e = EditorBufferEntry(window, buffer);
    if (!e)
        return;
    if (!e->name) {
        e->name = std::make_unique<char[]>(kEditorBufferNameLength);
        e->namePresent = 1;
    }
    PutText(std::span<char>(e->name.get(), kEditorBufferNameLength), name);
}

void YYEditBufferGetName(int window, int buffer, std::span<char> name)
{
    std::fill(name.begin(), name.end(), ' ');
    EditorBufferRecord* e = EditorBufferEntry(window, buffer);
    std::string_view stored;
    if (e && e->name)
        stored = TrimRight(std::string_view(e->name.get(), kEditorBufferNameLength));
    // The name, then a NUL, in the caller's text (the NUL only when it fits).
    size_t n = std::min(stored.size(), name.size());
    if (n)
        std::memcpy(name.data(), stored.data(), n);
    if (n < name.size())
        name[n] = '\0';
}

void YYEditBufferGetValue(int window, int buffer, int& saved)
{
    EditorBufferRecord* e = EditorBufferEntry(window, buffer);
    if (e)
        saved = e->unmodified;
}

void YYEditBufferFree(int window, int buffer)
{
    EditorBufferRecord* e = EditorBufferEntry(window, buffer);
    if (!e)
        return;
    auto& row = gEditorBufferStore.records[window];
    for (int i = buffer - 1; i < kEditorBuffers - 1; ++i)
        row[i] = std::move(row[i + 1]);
    EntryClear(row[kEditorBuffers - 1]);
}

namespace {

// The editor's part of the library start-up and shut-down and of a child
// window's closing, installed while the program starts (every editor window
// keeps its buffers here).
const bool gLayerStepsInstalled = (LibraryLayerStepsSet(LibraryLayer::kEditor,
                                                        {.start = EditorBufferStoreCreate,
                                                         .afterWindows = EditorBufferStoreShutdown,
                                                         .windowClosed = EditorBufferStoreRelease}),
                                   true);

} // namespace
