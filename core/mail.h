// Mail: hands a message with recipients, subject, body text and file
// attachments to the system's mail program through Simple MAPI.
//
// The layer keeps two tables in global memory, built by the Mail* routines
// and sent by MailSend; the window engine loads "mapi32.dll" and finds
// MAPISendMail when the main window is created (gWindowSystem). WMailSend is
// the public routine over the layer.
#pragma once

#include <span>
#include <string_view>

// A recipient descriptor in the Simple MAPI recipient layout.
struct MailRecipient {
    unsigned long reserved;
    unsigned long recipientClass; // 1 to, 2 cc, 3 bcc
    char* name;
    char* address;
    unsigned long entryIdSize;
    void* entryId;
};

// A file descriptor in the Simple MAPI file layout.
struct MailAttachment {
    unsigned long reserved;
    unsigned long flags;
    unsigned long position; // -1: not placed in the body text
    char* pathName;
    char* fileName;
    void* fileType;
};

// Frees the previous recipient table and its texts, allocates max(N, 1)
// descriptors (the first of class 1, the others 0); the count becomes N (a
// negative N counts 0).
void MailRecipientsInit(int n);
// Recipient I (from 0) gets a copy of TEXT in LEN zeroed bytes (cut to
// LEN - 1 characters) as its display name or address. An I outside the table
// is ignored.
void MailRecipientName(int i, const char* text, int len);
void MailRecipientAddress(int i, const char* text, int len);
// Recipient I gets class 2 for CLASS 2, 3 for CLASS 3, else 1.
void MailRecipientClass(int i, int recipientClass);
// Frees the previous attachment table and its paths; N descriptors (none for
// N <= 0).
void MailAttachmentsInit(int n);
void MailAttachmentPath(int i, const char* text, int len);
// Sends the message built in the tables. FLAGS 1: always show the mail
// program's dialog; 4: resolve the recipients first. STATUS := 0 sent, -1 no
// mail system, -2 the mail system reported MAPIERROR (else MAPIERROR := 0).
void MailSend(int flags, int& status, int& mapiError, const char* subject, const char* body);

// The tables as the mail program receives them.
int MailRecipientCount();
const MailRecipient* MailRecipientAt(int i);
int MailAttachmentCount();
const MailAttachment* MailAttachmentAt(int i);

// Sends a message through the system's mail program. RECIPIENTS: one e-mail
// address per text (blank texts are skipped); CLASSES: optional class of each
// (2 cc, 3 bcc, else to); ATTACHMENTS: file names. FLAGS as for MailSend.
// Errors: 1085 no recipient (unless FLAGS asks for the mail dialog), 1084 an
// attachment that names no readable file, 1082 no mail system, 1083 the mail
// system failed (its code in ErrorState.status); a user who cancels the mail
// dialog is no error. STATUS and MAPIERROR, when given, receive MailSend's
// results (STATUS -3 when a check stopped the routine before sending).
void WMailSend(std::span<const std::string_view> recipients, std::string_view subject,
               std::string_view body, std::span<const std::string_view> attachments = {},
               std::span<const int> classes = {}, int flags = 0, int* status = nullptr,
               int* mapiError = nullptr);

// Test seam: the MAPIResolveName and MAPIFreeBuffer entries MailSend uses
// instead of looking them up in the mail library (both nullptr: look up).
void MailResolverOverride(void* resolveName, void* freeBuffer);
