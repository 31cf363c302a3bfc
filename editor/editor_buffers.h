// The editor buffer store: for every library window (0 to 50) and every
// editor buffer (1 to 35) the saved text and state of a buffer that is not in
// the editor control, and the buffer's file name. Start-up creates it empty,
// closing a child window frees that window's entries, shut-down frees the
// store's contents. The routines that move text between an editor window and
// the store belong to the editor.
#pragma once

#include <array>
#include <memory>
#include <span>
#include <string_view>

constexpr int kEditorBufferWindows = 51; // windows 0 to 50
constexpr int kEditorBuffers = 35;       // buffers 1 to 35
constexpr int kEditorBufferNameLength = 260;

struct EditorBufferRecord {
    int streamLength = 0;     // bytes of the saved text
    int textLength = 0;
    int selectionStart = 0;   // 1-based
    int selectionEnd = 0;
    int unmodified = 0;       // 1 = no unsaved changes
    int changedValue = 0;
    int firstVisibleLine = 0;
    int namePresent = 0;      // the name block exists
    int textPresent = 0;      // the text block holds a saved text
    std::unique_ptr<char[]> name; // 260 characters, blank-padded
    std::unique_ptr<char[]> text; // streamLength bytes
};

struct EditorBufferStore {
    // records[window][buffer - 1]
    std::array<std::array<EditorBufferRecord, kEditorBuffers>, kEditorBufferWindows> records;
};
extern EditorBufferStore gEditorBufferStore;

// The entry of WINDOW (0..50) and BUFFER (1..35); nullptr outside the table.
EditorBufferRecord* EditorBufferEntry(int window, int buffer);

// Start-up: every entry empty, both allocation flags cleared.
void EditorBufferStoreCreate();
// Shut-down: the allocated blocks of windows 1 to 50 are freed and their flags
// cleared; then every word of every entry is cleared. The table stays.
void EditorBufferStoreShutdown();
// Closing child window WINDOW: its 35 entries are freed and cleared.
void EditorBufferStoreRelease(int window);

// Stores NAME (blank-padded or cut to 260 characters) as the buffer's name,
// creating the name block on first use.
void YYEditBufferPutName(int window, int buffer, std::string_view name);
// The stored name without trailing blanks, a NUL, then blanks; an entry
// without a name gives a NUL and blanks.
void YYEditBufferGetName(int window, int buffer, std::span<char> name);
// SAVED := the entry's unmodified flag (1 when the buffer has no unsaved changes).
void YYEditBufferGetValue(int window, int buffer, int& saved);
// Frees the entry's blocks and moves the entries of buffers BUFFER+1..35 down
// by one; the entry of buffer 35 becomes empty.
void YYEditBufferFree(int window, int buffer);
