// The table of loaded dialogs: loading a dialog from its DIALOG resource
// (window, record, field set-up, extras), selecting the current dialog and
// the lookups the other dialog routines share.
#include "dialogs/dialog_table.h"

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/events.h"
#include "core/window_table.h"
#include "dialogs/dialog_extras.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_procedure.h"
#include "dialogs/field_subclass.h"
#include "dialogs/message_box.h"

#include <array>

DialogTable gDialogTable;
DialogPendingShow gDialogPendingShow;

namespace {

[[maybe_unused]] HWND ClientOf(int n)
{
    return (n >= 0 && n <= kLastWindow) ? gWindowTable.client[n] : nullptr;
}

// The controls found last by dialog and id. Finding a control lists the
// dialog's children through the window server; a control found before is
// taken again while it is still a live child of that dialog with that id,
// which the process answers alone (of two controls with one id, the one found
// first stays the answer while it lives).
struct FieldFound {
    HWND dialog = nullptr;
    int id = 0;
    HWND field = nullptr;
};
std::array<FieldFound, 64> gFieldsFound;

HWND FieldOfDialog(HWND dialog, int id)
{
    FieldFound& slot = gFieldsFound[static_cast<unsigned>(id) % gFieldsFound.size()];
    if (slot.dialog == dialog && slot.id == id && slot.field && IsWindow(slot.field) &&
        GetAncestor(slot.field, GA_PARENT) == dialog && GetDlgCtrlID(slot.field) == id)
        return slot.field;
    HWND field = GetDlgItem(dialog, id);
    slot = field ? FieldFound{dialog, id, field} : FieldFound{};
    return field;
}

} // namespace

void DialogLoad(int& resource, int identifier, int n)
{
    DialogCreate(resource, identifier, n, 0);
}


void DialogCreate(int& resource, int identifier, int n, int hostFlag)
{
    ControlClassesEnsure();
    int loaded = DialogIndexById(identifier);
    if (loaded >= 0) {
        gDialogTable.current = loaded;
        return;
    }
    if (resource <= 0 || identifier <= 0) { // names no resource the program can have
        resource = -2;
        return;
    }
    if (gDialogTable.count >= kDialogTableSize) {
        resource = -1;
        return;
    }
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resource & 0xFFFF), reinterpret_cast<LPCSTR>(RT_DIALOG));
    HGLOBAL data = found ? LoadResource(module, found) : nullptr;
    auto* templ = data ? static_cast<LPCDLGTEMPLATEA>(LockResource(data)) : nullptr;
    if (!templ) {
        resource = -2;
        return;
    }

    int slot = ++gDialogTable.count;
    DialogRecord* record = DialogRecordNew();
    if (!record) {
        --gDialogTable.count;
        resource = -3;
        return;
    }
    DialogHandleSet(record, kDlgHost, (hostFlag && n >= 0 && n <= kLastWindow) ? gWindowTable.frame[n] : nullptr);
    record->words[kDlgGridCell] = 0x40001;
    record->words[kDlgIdentifier] = identifier;
    record->resource = resource;
    gDialogPendingShow = DialogPendingShow{};

    gDialogTable.creating = 1;
    HWND owner = n == -1 ? DialogOwnerWindow() : ClientOf(n);
    HWND activeBefore = gActiveDialog;
    gFieldProcState.focusMoving = 1;
    HWND dialog = CreateDialogIndirectParamA(module, templ, owner, DialogProc, reinterpret_cast<LPARAM>(record));
    gFieldProcState.focusMoving = 0;
    gDialogTable.slot[slot] = dialog;
    gDialogTable.creating = 0;
    if (!dialog) {
        gDialogTable.slot[slot] = nullptr;
        --gDialogTable.count;
        DialogRecordFree(record);
        gActiveDialog = activeBefore;
        resource = -3;
        return;
    }
    gDialogTable.current = slot;
    DialogExtrasParse(dialog, resource, slot);

    // Record the state every field's styles show now.
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        FieldRecord* f = FieldRecordOf(child);
        if (!f)
            continue;
        f->state = FieldStateOf(child);
        if (f->upDownBuddy) {
            HWND next = GetWindow(child, GW_HWNDNEXT);
            if (next == f->upDownBuddy)
                child = next;
        }
    }
    gActiveDialog = activeBefore;
}

int DialogIndexById(int identifier)
{
    for (int i = 0; i <= gDialogTable.count && i <= kDialogTableSize; ++i) {
        DialogRecord* r = DialogRecordOf(gDialogTable.slot[i]);
        if (r && r->words[kDlgIdentifier] == identifier)
            return i;
    }
    return -1;
}

int DialogTableCount()
{
    return gDialogTable.count;
}

HWND DialogTableWindow(int slot)
{
    return (slot >= 1 && slot <= gDialogTable.count) ? gDialogTable.slot[slot] : nullptr;
}

HWND DialogCurrentWindow()
{
    return DialogTableWindow(gDialogTable.current);
}

HWND DialogCurrentField(int field)
{
    HWND d = DialogCurrentWindow();
    return d ? FieldOfDialog(d, field) : nullptr;
}

void DialogTableDestroyAll()
{
    for (int slot = gDialogTable.count; slot >= 1; --slot) {
        HWND d = gDialogTable.slot[slot];
        if (d && IsWindow(d))
            DialogPagesDetach(d);
    }
    for (int slot = gDialogTable.count; slot >= 1; --slot) {
        HWND d = gDialogTable.slot[slot];
        gDialogTable.slot[slot] = nullptr;
        if (!d || !IsWindow(d))
            continue;
        DialogRecord* r = DialogRecordOf(d);
        DestroyWindow(d);
        DialogRecordFree(r);
    }
    gDialogTable.count = 0;
    gDialogTable.current = 0;
    gDialogTable.creating = 0;
    gDialogStatus.currentDialogId = 0;
    gDialogPendingShow = DialogPendingShow{};
    gFieldProcState = FieldProcState{};
    gWindowSystem.semiModelessDialog = nullptr;
    gWindowSystem.semiModelessCount = 0;
    if (gActiveDialog && !IsWindow(gActiveDialog))
        gActiveDialog = nullptr;
}

void WDialogSelect(int ident)
{
    int id = ident;
    DialogSelectById(id);
    if (id == -1) {
        YYErrorReport(kErrorDialogSelect, "WDialogSelect");
        return;
    }
    gDialogStatus.currentDialogId = ident;
}


void DialogSelectById(int& identifier)
{
    int index = DialogIndexById(identifier);
    if (index < 0) {
        identifier = -1;
        return;
    }
    gDialogTable.current = index;
}

void WDialogLoad(int idialog, const int* ident, const int* iwindow)
{
    int identifier = ident ? *ident : idialog;
    int n = iwindow ? *iwindow : 0;
    int status = idialog;
    DialogLoad(status, identifier, n);
    switch (status) {
    case -1:
        YYErrorReport(kErrorTooManyDialogs, "WDialogLoad");
        return;
    case -2:
        YYErrorReport(kErrorDialogNotInResource, "WDialogLoad");
        return;
    case -3:
        YYErrorReport(kErrorDialogCreate, "WDialogLoad");
        return;
    default:
        gDialogStatus.currentDialogId = identifier;
    }
}

void DialogParentWindow(int& n)
{
    HWND d = DialogCurrentWindow();
    HWND parent = (d && (GetWindowLongA(d, GWL_STYLE) & WS_CHILD)) ? GetParent(d) : nullptr;
    int index = parent ? WindowTableIndex(parent) : -1;
    n = index < 0 ? 0 : index;
}

HWND DialogOwnerWindow()
{
    if (gActiveDialog && IsWindow(gActiveDialog) && IsWindowVisible(gActiveDialog)) {
        DialogRecord* r = DialogRecordOf(gActiveDialog);
        HWND host = DialogHandleGet(r, kDlgHost);
        return host ? host : gActiveDialog;
    }
    return gWindowSystem.lastActiveFrame;
}
