// Mail through Simple MAPI: the recipient and attachment tables, the send,
// and the public routine WMailSend.
#include "core/mail.h"

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/os_services.h"
#include "core/window_table.h"

#include <windows.h>
#include <mapi.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

static_assert(sizeof(MailRecipient) == sizeof(MapiRecipDesc));
static_assert(offsetof(MailRecipient, name) == offsetof(MapiRecipDesc, lpszName));
static_assert(offsetof(MailRecipient, entryId) == offsetof(MapiRecipDesc, lpEntryID));
static_assert(sizeof(MailAttachment) == sizeof(MapiFileDesc));
static_assert(offsetof(MailAttachment, pathName) == offsetof(MapiFileDesc, lpszPathName));
static_assert(offsetof(MailAttachment, fileType) == offsetof(MapiFileDesc, lpFileType));

namespace {

constexpr ULONG kUnknownRecipient = 14; // MAPI_E_UNKNOWN_RECIPIENT

// The two tables: global memory blocks and their counts.
struct MailTables {
    MapiRecipDesc* recipients = nullptr;
    int recipientCount = 0;
    MapiFileDesc* attachments = nullptr;
    int attachmentCount = 0;
    void* resolveOverride = nullptr;
    void* freeOverride = nullptr;
};
MailTables gMailTables;

void FreeText(LPSTR& text)
{
    if (text)
        GlobalFree(text);
    text = nullptr;
}

// A copy of TEXT in LEN zeroed bytes of global memory, cut to LEN - 1
// characters; nullptr for LEN <= 0.
LPSTR CopyText(const char* text, int len)
{
    if (len <= 0)
        return nullptr;
    auto* copy = static_cast<LPSTR>(GlobalAlloc(GPTR, static_cast<SIZE_T>(len)));
    if (copy && text) {
        size_t n = std::strlen(text);
        if (n > static_cast<size_t>(len - 1))
            n = static_cast<size_t>(len - 1);
        std::memcpy(copy, text, n);
    }
    return copy;
}

MapiRecipDesc* Recipient(int i)
{
    return (gMailTables.recipients && i >= 0 && i < gMailTables.recipientCount)
               ? &gMailTables.recipients[i]
               : nullptr;
}

MapiFileDesc* Attachment(int i)
{
    return (gMailTables.attachments && i >= 0 && i < gMailTables.attachmentCount)
               ? &gMailTables.attachments[i]
               : nullptr;
}

template <typename Fn>
Fn MailEntry(void* override, const char* name)
{
    if (override)
        return reinterpret_cast<Fn>(override);
    if (!gWindowSystem.mapi32)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(gWindowSystem.mapi32, name)));
}

bool Empty(const char* s)
{
    return !s || !*s;
}

// Resolves the recipients of SEND (a copy of the table) through the mail
// library; resolved descriptors replace the copy's words (the class stays)
// and are collected in RESOLVED for release after the send. The table itself
// keeps the caller's own texts.
void ResolveRecipients(std::vector<MapiRecipDesc>& send, int count,
                       std::vector<lpMapiRecipDesc>& resolved, ULONG_PTR parent)
{
    auto resolve = MailEntry<LPMAPIRESOLVENAME>(gMailTables.resolveOverride, "MAPIResolveName");
    auto release = MailEntry<LPMAPIFREEBUFFER>(gMailTables.freeOverride, "MAPIFreeBuffer");
    if (!resolve || !release)
        return;
    for (int i = 0; i < count; ++i) {
        MapiRecipDesc& r = send[static_cast<size_t>(i)];
        lpMapiRecipDesc found = nullptr;
        ULONG result = kUnknownRecipient;
        if (!Empty(r.lpszName))
            result = resolve(0, parent, r.lpszName, MAPI_LOGON_UI, 0, &found);
        if ((Empty(r.lpszName) || result == kUnknownRecipient) && !Empty(r.lpszAddress)) {
            found = nullptr;
            result = resolve(0, parent, r.lpszAddress, MAPI_LOGON_UI, 0, &found);
        }
        if (result != SUCCESS_SUCCESS || !found)
            continue;
        resolved.push_back(found);
        r.ulReserved = found->ulReserved;
        r.ulEIDSize = found->ulEIDSize;
        r.lpEntryID = found->lpEntryID;
        r.lpszName = found->lpszName;
        r.lpszAddress = found->lpszAddress;
    }
}

// FULL := the full name of the existing file NAME (no wildcards, not a
// folder); false when there is no such file.
bool FullNameOfFile(const std::string& name, std::string& full)
{
    if (name.find_first_of("*?") != std::string::npos)
        return false;
    char buffer[1024];
    int err = 0;
    OsFullPath(err, name.c_str(), buffer, static_cast<int>(sizeof(buffer)));
    if (err != 0)
        return false;
    int size = -1, year, month, day, hour, minute, second, attributes = 0, kbytes;
    OsFileInfo(size, year, month, day, hour, minute, second, attributes, kbytes, buffer);
    if (size == -1 || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    full = buffer;
    return true;
}

void ReleaseResolved(std::vector<lpMapiRecipDesc>& resolved)
{
    auto release = MailEntry<LPMAPIFREEBUFFER>(gMailTables.freeOverride, "MAPIFreeBuffer");
    if (release) {
        for (lpMapiRecipDesc r : resolved)
            release(r);
    }
    resolved.clear();
}

} // namespace

// ---------------------------------------------------------------------------
// Tables

void MailRecipientsInit(int n)
{
    if (gMailTables.recipients) {
        // Only the layer's own copies are here: resolved descriptors never
        // enter the table.
        for (int i = 0; i < gMailTables.recipientCount; ++i) {
            FreeText(gMailTables.recipients[i].lpszName);
            FreeText(gMailTables.recipients[i].lpszAddress);
        }
        GlobalFree(gMailTables.recipients);
    }
    int count = n > 0 ? n : 0;
    gMailTables.recipients =
        static_cast<MapiRecipDesc*>(GlobalAlloc(GPTR, sizeof(MapiRecipDesc) * static_cast<size_t>(count > 0 ? count : 1)));
    gMailTables.recipientCount = gMailTables.recipients ? count : 0;
    if (gMailTables.recipients)
        gMailTables.recipients[0].ulRecipClass = MAPI_TO;
}

void MailRecipientName(int i, const char* text, int len)
{
    if (MapiRecipDesc* r = Recipient(i)) {
        FreeText(r->lpszName);
        r->lpszName = CopyText(text, len);
    }
}

void MailRecipientAddress(int i, const char* text, int len)
{
    if (MapiRecipDesc* r = Recipient(i)) {
        FreeText(r->lpszAddress);
        r->lpszAddress = CopyText(text, len);
    }
}

void MailRecipientClass(int i, int recipientClass)
{
    if (MapiRecipDesc* r = Recipient(i))
        r->ulRecipClass = recipientClass == 2 ? MAPI_CC : recipientClass == 3 ? MAPI_BCC : MAPI_TO;
}

void MailAttachmentsInit(int n)
{
    if (gMailTables.attachments) {
        for (int i = 0; i < gMailTables.attachmentCount; ++i)
            FreeText(gMailTables.attachments[i].lpszPathName);
        GlobalFree(gMailTables.attachments);
    }
    gMailTables.attachments = nullptr;
    gMailTables.attachmentCount = 0;
    if (n <= 0)
        return;
    gMailTables.attachments =
        static_cast<MapiFileDesc*>(GlobalAlloc(GPTR, sizeof(MapiFileDesc) * static_cast<size_t>(n)));
    if (!gMailTables.attachments)
        return;
    gMailTables.attachmentCount = n;
    for (int i = 0; i < n; ++i)
        gMailTables.attachments[i].nPosition = static_cast<ULONG>(-1);
}

void MailAttachmentPath(int i, const char* text, int len)
{
    if (MapiFileDesc* a = Attachment(i)) {
        FreeText(a->lpszPathName);
        a->lpszPathName = CopyText(text, len);
    }
}

int MailRecipientCount()
{
    return gMailTables.recipientCount;
}

const MailRecipient* MailRecipientAt(int i)
{
    return reinterpret_cast<const MailRecipient*>(Recipient(i));
}

int MailAttachmentCount()
{
    return gMailTables.attachmentCount;
}

const MailAttachment* MailAttachmentAt(int i)
{
    return reinterpret_cast<const MailAttachment*>(Attachment(i));
}

void MailResolverOverride(void* resolveName, void* freeBuffer)
{
    gMailTables.resolveOverride = resolveName;
    gMailTables.freeOverride = freeBuffer;
}

// ---------------------------------------------------------------------------
// Sending

void MailSend(int flags, int& status, int& mapiError, const char* subject, const char* body)
{
    auto send = reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void*>(gWindowSystem.mapiSendMail));
    if (!send) {
        status = -1;
        mapiError = 0;
        return;
    }
    // The mail program may change the current directory: it is restored.
    char directory[260];
    int dirErr = 0, truncated = 0;
    OsCurrentDir(directory, dirErr, truncated, static_cast<int>(sizeof(directory)));

    const auto parent = reinterpret_cast<ULONG_PTR>(gWindowTable.frame[0]);
    // The message gets a copy of the table (at least one descriptor, as the
    // table has), so that resolving changes only what this send uses.
    const int count = gMailTables.recipientCount;
    std::vector<MapiRecipDesc> recipients(static_cast<size_t>(count > 0 ? count : 1), MapiRecipDesc{});
    if (gMailTables.recipients)
        std::memcpy(recipients.data(), gMailTables.recipients, sizeof(MapiRecipDesc) * static_cast<size_t>(count));
    std::vector<lpMapiRecipDesc> resolved;
    if (flags & 4)
        ResolveRecipients(recipients, count, resolved, parent);

    std::string subjectText(subject ? subject : "");
    std::string bodyText(body ? body : "");
    char dateReceived[1] = {'\0'};
    char conversation[1] = {'\0'};
    MapiMessage message = {};
    message.lpszSubject = subjectText.data();
    message.lpszNoteText = bodyText.data();
    message.lpszDateReceived = dateReceived;
    message.lpszConversationID = conversation;
    message.nRecipCount = static_cast<ULONG>(count);
    message.lpRecips = recipients.data();
    message.nFileCount = static_cast<ULONG>(gMailTables.attachmentCount);
    message.lpFiles = gMailTables.attachments;

    FLAGS sendFlags = MAPI_LOGON_UI;
    if ((flags & 1) || count == 0)
        sendFlags |= MAPI_DIALOG;
    ULONG result = send(0, parent, &message, sendFlags, 0);
    ReleaseResolved(resolved);

    if (result == SUCCESS_SUCCESS) {
        status = 0;
        mapiError = 0;
    } else {
        status = -2;
        mapiError = static_cast<int>(result);
    }
    if (dirErr == 0 && truncated == 0) {
        int err = 0;
        OsChangeDir(directory, err);
    }
}

// ---------------------------------------------------------------------------
// Public routine

void WMailSend(std::span<const std::string_view> recipients, std::string_view subject,
               std::string_view body, std::span<const std::string_view> attachments,
               std::span<const int> classes, int flags, int* status, int* mapiError)
{
    auto result = [&](int s, int m) {
        if (status)
            *status = s;
        if (mapiError)
            *mapiError = m;
    };

    // Recipients: the non-blank texts, each with its class.
    struct Entry {
        std::string address;
        int recipientClass;
    };
    std::vector<Entry> to;
    for (size_t i = 0; i < recipients.size(); ++i) {
        std::string_view r = TrimRight(recipients[i]);
        size_t first = r.find_first_not_of(' ');
        if (first == std::string_view::npos)
            continue;
        to.push_back({std::string(r.substr(first)), i < classes.size() ? classes[i] : 1});
    }
    if (to.empty() && (flags & 1) == 0) {
        YYErrorReport(kErrorMailNoRecipient, "WMailSend");
        result(-3, 0);
        return;
    }

    // Attachments: full names of existing files, so that the mail program
    // finds them whatever its current directory.
    std::vector<std::string> paths;
    for (std::string_view a : attachments) {
        std::string name(TrimRight(a));
        size_t first = name.find_first_not_of(' ');
        if (first == std::string::npos)
            continue;
        name.erase(0, first);
        std::string full;
        if (!FullNameOfFile(name, full)) {
            YYErrorReport(kErrorMailAttachment, "WMailSend");
            result(-3, 0);
            return;
        }
        paths.emplace_back(full);
    }

    MailRecipientsInit(static_cast<int>(to.size()));
    for (size_t i = 0; i < to.size(); ++i) {
        const std::string& name = to[i].address;
        std::string address = name.find(':') == std::string::npos ? "SMTP:" + name : name;
        int k = static_cast<int>(i);
        MailRecipientName(k, name.c_str(), static_cast<int>(name.size() + 1));
        MailRecipientAddress(k, address.c_str(), static_cast<int>(address.size() + 1));
        MailRecipientClass(k, to[i].recipientClass);
    }
    MailAttachmentsInit(static_cast<int>(paths.size()));
    for (size_t i = 0; i < paths.size(); ++i)
        MailAttachmentPath(static_cast<int>(i), paths[i].c_str(), static_cast<int>(paths[i].size() + 1));

    const std::string subjectText(TrimRight(subject));
    const std::string bodyText(TrimRight(body));
    int s = 0, m = 0;
    MailSend(flags, s, m, subjectText.c_str(), bodyText.c_str());
    result(s, m);
    if (s == -1) {
        YYErrorReport(kErrorMailLibraryMissing, "WMailSend");
    } else if (s == -2 && m != MAPI_USER_ABORT) {
        gErrorState.status = m;
        YYErrorReport(kErrorMailProgram, "WMailSend");
    }
}
