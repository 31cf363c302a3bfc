// The records hung on dialog windows and on their controls. Both live in one
// window property and carry a tag in their first word, so that a dialog
// record is never read as a field record or the reverse, and a window that
// carries neither (or someone else's data) gives none.
#include <cstdlib>
#include <cstring>

#include "core/neighbours.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_neighbours.h"
#include "dialogs/dialog_table.h"

namespace {

constexpr uint32_t kDialogRecordTag = 0x52474C44; // "DLGR"
constexpr uint32_t kFieldRecordTag = 0x52444C46;  // "FLDR"
const char kRecordProperty[] = "QuillodraneRecord";

void* RecordOf(HWND window, uint32_t tag)
{
    if (!window)
        return nullptr;
    auto* p = static_cast<uint32_t*>(GetPropA(window, kRecordProperty));
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
        SetPropA(dialog, kRecordProperty, record);
}

void DialogRecordFree(DialogRecord* record)
{
    if (record) {
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
    RemovePropA(dialog, kRecordProperty);
    DialogRecordFree(r);
}

void DialogRecordUnhook(HWND dialog)
{
    if (DialogRecordOf(dialog))
        RemovePropA(dialog, kRecordProperty);
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
    if (!SetPropA(control, kRecordProperty, r)) {
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
    RemovePropA(control, kRecordProperty);
    std::free(r->tabStops);
    if (!keepFormat)
        std::free(r->format);
    r->tag = 0;
    std::free(r);
}
