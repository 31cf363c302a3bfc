// The records hung on dialog windows and on their controls. Both live in one
// window property and carry a tag in their first word, so that a dialog
// record is never read as a field record or the reverse, and a window that
// carries neither (or someone else's data) gives none.
//
// The lookups (one or two on every message a field receives) read a map of
// the process instead of the property, which the system keeps with the
// window server: every record is hung, unhung and freed here, so the map
// holds exactly the windows whose property holds a record. A window
// destroyed with its record still hung has lost its property with it; its
// entry goes at its next lookup, or when the record is freed.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_table.h"

namespace {

constexpr uint32_t kDialogRecordTag = 0x52474C44; // "DLGR"
constexpr uint32_t kFieldRecordTag = 0x52444C46;  // "FLDR"
const char kRecordProperty[] = "QuillodraneRecord";

struct RecordMap {
    std::mutex lock;
    std::unordered_map<HWND, void*> records;
};

RecordMap& Records()
{
    static RecordMap map;
    return map;
}

// The record hung on WINDOW, as its property gives it.
void* RecordHung(HWND window)
{
    RecordMap& map = Records();
    void* record = nullptr;
    {
        std::lock_guard<std::mutex> hold(map.lock);
        auto it = map.records.find(window);
        if (it == map.records.end())
            return nullptr;
        record = it->second;
    }
    if (IsWindow(window))
        return record;
    // Destroyed, and its property with it.
    std::lock_guard<std::mutex> hold(map.lock);
    auto it = map.records.find(window);
    if (it != map.records.end() && it->second == record)
        map.records.erase(it);
    return nullptr;
}

// Hangs RECORD on WINDOW; false when the property could not be set.
bool RecordHang(HWND window, void* record)
{
    if (!SetPropA(window, kRecordProperty, record))
        return false;
    RecordMap& map = Records();
    std::lock_guard<std::mutex> hold(map.lock);
    map.records[window] = record;
    return true;
}

void RecordUnhang(HWND window)
{
    RemovePropA(window, kRecordProperty);
    RecordMap& map = Records();
    std::lock_guard<std::mutex> hold(map.lock);
    map.records.erase(window);
}

// Forgets every window RECORD hangs on (before the record is freed).
void RecordForget(const void* record)
{
    RecordMap& map = Records();
    std::lock_guard<std::mutex> hold(map.lock);
    std::erase_if(map.records, [record](const auto& entry) { return entry.second == record; });
}

void* RecordOf(HWND window, uint32_t tag)
{
    if (!window)
        return nullptr;
    auto* p = static_cast<uint32_t*>(RecordHung(window));
    return (p && *p == tag) ? p : nullptr;
}

} // namespace

void DialogHandleSet(DialogRecord* record, int word, HWND handle)
{
    if (!record || word < 0 || word >= kDialogWordCount)
        return;
    record->handles[word] = handle;
    record->words[word] = static_cast<int32_t>(reinterpret_cast<intptr_t>(handle));
}

HWND DialogHandleGet(const DialogRecord* record, int word)
{
    if (!record || word < 0 || word >= kDialogWordCount)
        return nullptr;
    return record->handles[word];
}

HWND DialogRecordHandle(HWND dialog, int word) { return DialogHandleGet(DialogRecordOf(dialog), word); }

void DialogRecordHandleSet(HWND dialog, int word, HWND handle)
{
    DialogHandleSet(DialogRecordOf(dialog), word, handle);
}

DialogRecord* DialogRecordOf(HWND dialog)
{
    return static_cast<DialogRecord*>(RecordOf(dialog, kDialogRecordTag));
}

DialogRecord* DialogRecordNew()
{
    auto* r = static_cast<DialogRecord*>(std::calloc(1, sizeof(DialogRecord)));
    if (r)
        r->tag = kDialogRecordTag;
    return r;
}

void DialogRecordHang(HWND dialog, DialogRecord* record)
{
    if (dialog && record)
        RecordHang(dialog, record);
}

void DialogRecordFree(DialogRecord* record)
{
    if (record) {
        RecordForget(record);
        if (record->titleIcon)
            DestroyIcon(record->titleIcon);
        record->tag = 0;
        std::free(record);
    }
}

int32_t* DialogRecordAttach(HWND dialog)
{
    if (!dialog || !IsWindow(dialog))
        return nullptr;
    DialogRecord* r = DialogRecordNew();
    if (!r)
        return nullptr;
    DialogRecordHang(dialog, r);
    return r->words;
}

void DialogRecordRelease(HWND dialog)
{
    DialogRecord* r = DialogRecordOf(dialog);
    if (!r)
        return;
    RecordUnhang(dialog);
    DialogRecordFree(r);
}

void DialogRecordUnhook(HWND dialog)
{
    if (DialogRecordOf(dialog))
        RecordUnhang(dialog);
}

int32_t* DialogRecordWords(HWND dialog)
{
    DialogRecord* r = DialogRecordOf(dialog);
    return r ? r->words : nullptr;
}

int DialogRecordIdentifier(HWND dialog)
{
    DialogRecord* r = DialogRecordOf(dialog);
    return r ? r->words[kDlgIdentifier] : 0;
}

FieldRecord* FieldRecordOf(HWND control)
{
    return static_cast<FieldRecord*>(RecordOf(control, kFieldRecordTag));
}

FieldRecord* FieldRecordCreate(HWND control)
{
    if (!control)
        return nullptr;
    auto* r = static_cast<FieldRecord*>(std::calloc(1, sizeof(FieldRecord)));
    if (!r)
        return nullptr;
    r->tag = kFieldRecordTag;
    r->lowerLimit = 1000.0;
    r->upperLimit = -1000.0;
    r->foreColour = -1;
    r->backColour = -1;
    if (!RecordHang(control, r)) {
        std::free(r);
        return nullptr;
    }
    return r;
}

void FieldRecordRelease(HWND control, bool keepFormat)
{
    FieldRecord* r = FieldRecordOf(control);
    if (!r)
        return;
    RecordUnhang(control);
    RecordForget(r);
    std::free(r->tabStops);
    if (!keepFormat)
        std::free(r->format);
    r->tag = 0;
    std::free(r);
}
