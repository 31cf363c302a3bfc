// Mail: the recipient and attachment tables, the message handed to the mail
// system (through a recording stand-in for MAPISendMail) and the public
// routine's checks. No real mail program is started.
#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/mail.h"
#include "core/window_table.h"

#include <windows.h>
#include <mapi.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// What the stand-in mail system saw.
struct SentRecipient {
    ULONG reserved, recipientClass;
    std::string name, address;
    ULONG eidSize;
    void* entryId;
};
struct SentFile {
    ULONG reserved, flags, position;
    std::string path;
    bool fileNameNull, fileTypeNull;
};
struct Sent {
    int calls = 0;
    ULONG_PTR parent = 0;
    FLAGS flags = 0;
    std::string subject, body;
    bool typeNull = false, originatorNull = false;
    std::string dateReceived, conversation;
    ULONG messageFlags = 99;
    std::vector<SentRecipient> recipients;
    std::vector<SentFile> files;
    ULONG answer = 0;
    std::string changeDirTo; // the stand-in moves the current folder here
};
Sent gSent;

ULONG WINAPI FakeSendMail(LHANDLE, ULONG_PTR parent, lpMapiMessage m, FLAGS flags, ULONG)
{
    ++gSent.calls;
    gSent.parent = parent;
    gSent.flags = flags;
    gSent.subject = m->lpszSubject ? m->lpszSubject : "<null>";
    gSent.body = m->lpszNoteText ? m->lpszNoteText : "<null>";
    gSent.typeNull = m->lpszMessageType == nullptr;
    gSent.originatorNull = m->lpOriginator == nullptr;
    gSent.dateReceived = m->lpszDateReceived ? m->lpszDateReceived : "<null>";
    gSent.conversation = m->lpszConversationID ? m->lpszConversationID : "<null>";
    gSent.messageFlags = m->flFlags;
    gSent.recipients.clear();
    for (ULONG i = 0; i < m->nRecipCount; ++i) {
        const MapiRecipDesc& r = m->lpRecips[i];
        gSent.recipients.push_back({r.ulReserved, r.ulRecipClass, r.lpszName ? r.lpszName : "<null>",
                                    r.lpszAddress ? r.lpszAddress : "<null>", r.ulEIDSize, r.lpEntryID});
    }
    gSent.files.clear();
    for (ULONG i = 0; i < m->nFileCount; ++i) {
        const MapiFileDesc& f = m->lpFiles[i];
        gSent.files.push_back({f.ulReserved, f.flFlags, f.nPosition,
                               f.lpszPathName ? f.lpszPathName : "<null>", f.lpszFileName == nullptr,
                               f.lpFileType == nullptr});
    }
    if (!gSent.changeDirTo.empty())
        SetCurrentDirectoryA(gSent.changeDirTo.c_str());
    return gSent.answer;
}

// A stand-in resolver: names beginning "known" resolve to a descriptor of its
// own (allocated here, released through FakeFreeBuffer); others are unknown.
struct Resolved {
    MapiRecipDesc desc;
    char name[64];
    char address[64];
    int id;
};
std::vector<std::string> gResolveAsked;
int gResolvedLive = 0;
char gEntryId[4] = {1, 2, 3, 4};

ULONG WINAPI FakeResolveName(LHANDLE, ULONG_PTR, LPSTR name, FLAGS flags, ULONG, lpMapiRecipDesc* out)
{
    gResolveAsked.push_back(name);
    if (std::strncmp(name, "known", 5) != 0 || flags != MAPI_LOGON_UI)
        return MAPI_E_UNKNOWN_RECIPIENT;
    auto* r = new Resolved{};
    std::snprintf(r->name, sizeof r->name, "Resolved %s", name);
    std::snprintf(r->address, sizeof r->address, "SMTP:%s@example.org", name);
    r->desc.ulReserved = 7;
    r->desc.ulRecipClass = 0; // must not replace the class
    r->desc.lpszName = r->name;
    r->desc.lpszAddress = r->address;
    r->desc.ulEIDSize = 4;
    r->desc.lpEntryID = gEntryId;
    ++gResolvedLive;
    *out = &r->desc;
    return SUCCESS_SUCCESS;
}

ULONG WINAPI FakeFreeBuffer(LPVOID p)
{
    delete reinterpret_cast<Resolved*>(p);
    --gResolvedLive;
    return 0;
}

class Mail : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedSend_ = gWindowSystem.mapiSendMail;
        savedModule_ = gWindowSystem.mapi32;
        gWindowSystem.mapiSendMail = nullptr;
        gWindowSystem.mapi32 = nullptr;
        MailResolverOverride(nullptr, nullptr);
        gSent = Sent{};
        gResolveAsked.clear();
        gErrorState = ErrorState{};
        MailRecipientsInit(0);
        MailAttachmentsInit(0);
    }
    void TearDown() override
    {
        gWindowSystem.mapiSendMail = savedSend_;
        gWindowSystem.mapi32 = savedModule_;
        MailResolverOverride(nullptr, nullptr);
        MailRecipientsInit(0);
        MailAttachmentsInit(0);
    }
    static void UseFakeMail() { gWindowSystem.mapiSendMail = reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeSendMail)); }

    FARPROC savedSend_ = nullptr;
    HMODULE savedModule_ = nullptr;
};

void SetName(int i, const char* s) { MailRecipientName(i, s, static_cast<int>(std::strlen(s)) + 1); }
void SetAddress(int i, const char* s) { MailRecipientAddress(i, s, static_cast<int>(std::strlen(s)) + 1); }

TEST_F(Mail, RecipientTableClassesAndCopies)
{
    MailRecipientsInit(3);
    ASSERT_EQ(MailRecipientCount(), 3);
    char source[] = "alice@example.org";
    SetName(0, source);
    SetName(1, "bob");
    SetName(2, "carol");
    std::strcpy(source, "changed");
    EXPECT_STREQ(MailRecipientAt(0)->name, "alice@example.org") << "the table holds its own copy";
    EXPECT_EQ(MailRecipientAt(0)->recipientClass, 1u);
    EXPECT_EQ(MailRecipientAt(1)->recipientClass, 0u);
    EXPECT_EQ(MailRecipientAt(2)->recipientClass, 0u);

    struct Case {
        int given;
        unsigned long stored;
    } cases[] = {{2, 2}, {3, 3}, {1, 1}, {0, 1}, {7, 1}, {-2, 1}};
    for (const Case& c : cases) {
        MailRecipientClass(1, c.given);
        EXPECT_EQ(MailRecipientAt(1)->recipientClass, c.stored) << c.given;
    }

    // LEN is the size of the copy: a longer text is cut, not overrun.
    MailRecipientAddress(2, "SMTP:carol@example.org", 6);
    EXPECT_STREQ(MailRecipientAt(2)->address, "SMTP:");
    MailRecipientName(2, "replaced", 9);
    EXPECT_STREQ(MailRecipientAt(2)->name, "replaced");

    // Indexes outside the table change nothing.
    MailRecipientName(3, "outside", 8);
    MailRecipientName(-1, "outside", 8);
    MailRecipientClass(5, 2);
    EXPECT_EQ(MailRecipientAt(3), nullptr);

    MailRecipientsInit(1);
    EXPECT_EQ(MailRecipientCount(), 1);
    EXPECT_EQ(MailRecipientAt(0)->name, nullptr) << "a new table starts empty";
    MailRecipientsInit(-4);
    EXPECT_EQ(MailRecipientCount(), 0);
}

TEST_F(Mail, AttachmentTable)
{
    MailAttachmentsInit(2);
    ASSERT_EQ(MailAttachmentCount(), 2);
    MailAttachmentPath(1, "C:\\data\\plot.png", 17);
    for (int i = 0; i < 2; ++i) {
        const MailAttachment* a = MailAttachmentAt(i);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->reserved, 0u);
        EXPECT_EQ(a->flags, 0u);
        EXPECT_EQ(a->position, 0xFFFFFFFFu);
        EXPECT_EQ(a->fileName, nullptr);
        EXPECT_EQ(a->fileType, nullptr);
    }
    EXPECT_STREQ(MailAttachmentAt(1)->pathName, "C:\\data\\plot.png");
    MailAttachmentsInit(0);
    EXPECT_EQ(MailAttachmentCount(), 0);
    EXPECT_EQ(MailAttachmentAt(0), nullptr);
}

TEST_F(Mail, NoMailSystemGivesMinusOne)
{
    MailRecipientsInit(1);
    SetName(0, "someone");
    int status = 5, mapiError = 5;
    MailSend(0, status, mapiError, "subject", "body");
    EXPECT_EQ(status, -1);
    EXPECT_EQ(mapiError, 0);
}

TEST_F(Mail, MessageLayoutAndDialogFlag)
{
    UseFakeMail();
    gWindowTable.frame[0] = reinterpret_cast<HWND>(0x1234);
    MailRecipientsInit(2);
    SetName(0, "Alice");
    SetAddress(0, "SMTP:alice@example.org");
    SetName(1, "Bob");
    MailRecipientClass(1, 3);
    MailAttachmentsInit(1);
    MailAttachmentPath(0, "C:\\a.txt", 9);

    int status = 9, mapiError = 9;
    MailSend(0, status, mapiError, "Results", "See attached.");
    gWindowTable.frame[0] = nullptr;
    EXPECT_EQ(status, 0);
    EXPECT_EQ(mapiError, 0);
    ASSERT_EQ(gSent.calls, 1);
    EXPECT_EQ(gSent.parent, 0x1234u);
    EXPECT_EQ(gSent.flags, static_cast<FLAGS>(MAPI_LOGON_UI));
    EXPECT_EQ(gSent.subject, "Results");
    EXPECT_EQ(gSent.body, "See attached.");
    EXPECT_TRUE(gSent.typeNull);
    EXPECT_TRUE(gSent.originatorNull);
    EXPECT_EQ(gSent.dateReceived, "");
    EXPECT_EQ(gSent.conversation, "");
    EXPECT_EQ(gSent.messageFlags, 0u);
    ASSERT_EQ(gSent.recipients.size(), 2u);
    EXPECT_EQ(gSent.recipients[0].recipientClass, 1u);
    EXPECT_EQ(gSent.recipients[0].address, "SMTP:alice@example.org");
    EXPECT_EQ(gSent.recipients[1].recipientClass, 3u);
    EXPECT_EQ(gSent.recipients[1].address, "<null>");
    ASSERT_EQ(gSent.files.size(), 1u);
    EXPECT_EQ(gSent.files[0].path, "C:\\a.txt");
    EXPECT_EQ(gSent.files[0].position, 0xFFFFFFFFu);
    EXPECT_TRUE(gSent.files[0].fileNameNull);

    // The dialog: asked for with FLAGS 1, and always without recipients.
    MailSend(1, status, mapiError, "s", "b");
    EXPECT_EQ(gSent.flags, static_cast<FLAGS>(MAPI_LOGON_UI | MAPI_DIALOG));
    MailRecipientsInit(0);
    MailAttachmentsInit(0);
    MailSend(0, status, mapiError, "s", "b");
    EXPECT_EQ(gSent.flags, static_cast<FLAGS>(MAPI_LOGON_UI | MAPI_DIALOG));
    EXPECT_TRUE(gSent.recipients.empty());
    EXPECT_TRUE(gSent.files.empty());
}

TEST_F(Mail, MailSystemErrorAndCurrentFolderRestored)
{
    UseFakeMail();
    char before[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    gSent.changeDirTo = windows;
    gSent.answer = MAPI_E_USER_ABORT;
    MailRecipientsInit(1);
    SetName(0, "x");
    int status = 0, mapiError = 0;
    MailSend(0, status, mapiError, "s", "b");
    EXPECT_EQ(status, -2);
    EXPECT_EQ(mapiError, MAPI_E_USER_ABORT);
    char after[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(after, before);
}

TEST_F(Mail, ResolvingUsesResolvedDescriptorsOnlyForTheSend)
{
    UseFakeMail();
    MailResolverOverride(reinterpret_cast<void*>(&FakeResolveName), reinterpret_cast<void*>(&FakeFreeBuffer));
    MailRecipientsInit(3);
    SetName(0, "known1");
    MailRecipientClass(0, 2);
    SetName(1, "stranger");
    SetAddress(1, "known2");
    SetAddress(2, "nobody"); // no name: the address is tried
    MailRecipientClass(2, 3);

    int status = 0, mapiError = 0;
    MailSend(4, status, mapiError, "s", "b");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(gResolveAsked, (std::vector<std::string>{"known1", "stranger", "known2", "nobody"}));
    ASSERT_EQ(gSent.recipients.size(), 3u);
    const SentRecipient& r0 = gSent.recipients[0];
    EXPECT_EQ(r0.name, "Resolved known1");
    EXPECT_EQ(r0.address, "SMTP:known1@example.org");
    EXPECT_EQ(r0.reserved, 7u);
    EXPECT_EQ(r0.eidSize, 4u);
    EXPECT_EQ(r0.entryId, gEntryId);
    EXPECT_EQ(r0.recipientClass, 2u) << "the class stays";
    EXPECT_EQ(gSent.recipients[1].name, "Resolved known2");
    EXPECT_EQ(gSent.recipients[2].address, "nobody");
    EXPECT_EQ(gSent.recipients[2].eidSize, 0u);
    EXPECT_EQ(gResolvedLive, 0) << "resolved descriptors are released after the send";

    // The table keeps the caller's own texts and can be sent again.
    EXPECT_STREQ(MailRecipientAt(0)->name, "known1");
    EXPECT_EQ(MailRecipientAt(0)->entryId, nullptr);
    MailSend(0, status, mapiError, "s", "b");
    EXPECT_EQ(gSent.recipients[0].name, "known1");
    EXPECT_EQ(gSent.calls, 2);
}

TEST_F(Mail, PublicRoutineChecksAndErrors)
{
    const std::string_view none[] = {"   "};
    int status = 0, mapiError = 0;
    WMailSend(none, "s", "b", {}, {}, 0, &status, &mapiError);
    EXPECT_EQ(gErrorState.lastCode, 1085);
    EXPECT_EQ(status, -3);

    const std::string_view to[] = {"alice@example.org", "  ", "bob@example.org"};
    const std::string_view missing[] = {"kq_no_such_attachment.bin"};
    gErrorState = ErrorState{};
    WMailSend(to, "s", "b", missing, {}, 0, &status);
    EXPECT_EQ(gErrorState.lastCode, 1084);
    EXPECT_EQ(status, -3);

    gErrorState = ErrorState{};
    WMailSend(to, "s", "b", {}, {}, 0, &status, &mapiError); // no mail system under test
    EXPECT_EQ(gErrorState.lastCode, 1082);
    EXPECT_EQ(status, -1);

    UseFakeMail();
    gSent.answer = MAPI_E_FAILURE;
    gErrorState = ErrorState{};
    WMailSend(to, "s", "b", {}, {}, 0, &status, &mapiError);
    EXPECT_EQ(gErrorState.lastCode, 1083);
    EXPECT_EQ(gErrorState.status, MAPI_E_FAILURE);
    EXPECT_EQ(status, -2);
    EXPECT_EQ(mapiError, MAPI_E_FAILURE);

    gSent.answer = MAPI_E_USER_ABORT; // the user's choice, not an error
    gErrorState = ErrorState{};
    WMailSend(to, "s", "b", {}, {}, 0, &status, &mapiError);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(status, -2);

    // Without recipients the mail dialog may still be asked for.
    gSent.answer = 0;
    WMailSend(none, "s", "b", {}, {}, 1, &status);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(gSent.recipients.empty());
}

TEST_F(Mail, PublicRoutineBuildsRecipientsAndAttachments)
{
    UseFakeMail();
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string file = std::string(tmp) + "kq_mail_" + std::to_string(GetCurrentProcessId()) + ".txt";
    std::ofstream(file) << "attached";

    const std::string_view to[] = {"alice@example.org  ", "", "SMTP:bob@example.org", "carol@example.org"};
    const int classes[] = {1, 3, 2}; // the blank entry's class goes with it
    const std::string_view files[] = {file};
    int status = 9;
    WMailSend(to, "Subject  ", "Body text  ", files, classes, 0, &status);
    DeleteFileA(file.c_str());
    EXPECT_EQ(status, 0);
    EXPECT_EQ(gErrorState.lastCode, 0);
    ASSERT_EQ(gSent.recipients.size(), 3u);
    EXPECT_EQ(gSent.recipients[0].name, "alice@example.org");
    EXPECT_EQ(gSent.recipients[0].address, "SMTP:alice@example.org");
    EXPECT_EQ(gSent.recipients[0].recipientClass, 1u);
    EXPECT_EQ(gSent.recipients[1].address, "SMTP:bob@example.org");
    EXPECT_EQ(gSent.recipients[1].recipientClass, 2u);
    EXPECT_EQ(gSent.recipients[2].recipientClass, 1u) << "no class given: to";
    EXPECT_EQ(gSent.subject, "Subject");
    EXPECT_EQ(gSent.body, "Body text");
    ASSERT_EQ(gSent.files.size(), 1u);
    EXPECT_EQ(gSent.files[0].path, file);
}

} // namespace
