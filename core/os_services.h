// Operating-system services: one thin wrapper per call of the Windows kernel,
// shell, registry and version services that the library needs, so that the
// rest of the library never calls the system for files, directories,
// processes, environment, time or the registry itself.
//
// The wrappers take NUL-terminated texts (the caller's trimmed copy followed
// by one NUL) and report failure as the Windows error code through an
// out-argument (0 on success) unless a routine says otherwise; they never
// report library errors. Only the public routines at the end of this header
// (IOsDeleteFile, IOsCopyFile, YYBeepSwitch) turn failures into library
// errors.
#pragma once

#include <string_view>

// ---------------------------------------------------------------------------
// Messages and process end (used by the error model)

// Message box without an owner window: task-modal, error icon, OK button.
void OsErrorBox(const char* caption, const char* text);
// The system's message text of the Windows error CODE (inserts ignored,
// neutral language) as a NUL-terminated text in BUFFER of SIZE bytes, without
// the line break the system ends it with; an empty text when the system has
// none or it does not fit.
void OsErrorText(int code, char* buffer, int size);
// Ends the process with exit code CODE.
[[noreturn]] void OsExit(int code);

// ---------------------------------------------------------------------------
// Version and environment

// MAJOR and MINOR of the system's version word.
void OsVersion(int& major, int& minor);
// 2 Win32s, 3 Windows 9x, 4 the NT family.
void OsPlatform(int& code);
// LENGTH := the result of GetEnvironmentVariableA into BUFFER of SIZE bytes:
// 0 unset, SIZE or more when BUFFER is too small.
void OsGetEnv(int& length, const char* name, char* buffer, int size);
void OsSetEnv(const char* name, const char* value);
// The process command line, cut to 2047 characters and a NUL; BUFFER holds
// 2048 characters.
constexpr int kOsCommandLineSize = 2048;
void OsCommandLine(char* buffer);
void OsModuleFileName(char* buffer, int size);
// ERR := 0, or the Windows error; TRUNCATED := 1 when the user name needed
// more than SIZE - 1 characters.
void OsUserName(int& err, int& truncated, char* name, int size);

// ---------------------------------------------------------------------------
// Processes

// Starts COMMAND in a new console without waiting; RESULT := 32 when started,
// else the Windows error.
void OsRunProgram(int& result, const char* command);
// Starts COMMAND (hidden when HIDE is not 0) and, with WAIT not 0, waits for
// it: SECONDS < 0 without limit (dispatching only WM_PAINT meanwhile), else at
// most SECONDS seconds. RESULT := 32 started (no wait) or ended, -1 when the
// wait timed out (the process keeps running), else the Windows error.
void OsExecuteWait(const char* command, int hide, int wait, int seconds, int& result);

// ---------------------------------------------------------------------------
// Files

// The longest file name the library takes: its name fields hold 260
// characters, the name and a NUL, as the system's ANSI file routines do. A
// longer name is refused whole (kOsErrorNameTooLong), never cut to fit.
constexpr int kFileNameLimit = 259;
// Windows error codes that the library gives itself.
constexpr int kOsErrorDiskFull = 112;    // ERROR_DISK_FULL
constexpr int kOsErrorNameTooLong = 206; // ERROR_FILENAME_EXCED_RANGE
// Whether NAME (up to a NUL, trailing blanks ignored) fits kFileNameLimit.
bool OsFileNameFits(std::string_view name);

// MODE 0 read (existing file, others may read and write), 1 write (always
// created, truncating; others may read), 2 read and write (existing file;
// others may read). HANDLE := the file handle, -1 on failure. A NAME longer
// than kFileNameLimit is refused before anything is opened (ERR
// kOsErrorNameTooLong), whatever the system would make of it.
void OsFileOpen(const char* name, int mode, int& handle, int& err);
void OsFileClose(int handle);
// COUNT := bytes transferred (0 on failure).
void OsFileRead(int handle, void* buffer, int n, int& count, int& err);
// A write that puts fewer than N bytes is a failed write even when the system
// calls it a success (a full disk under Wine): COUNT := the bytes put, ERR :=
// the system's code, or kOsErrorDiskFull when it gave none.
void OsFileWrite(int handle, const void* buffer, int n, int& count, int& err);
// Fault injection for tests: after BYTES more bytes, every OsFileWrite puts
// only what is left of them and then nothing, as a full disk does; a
// negative BYTES (the default) lifts the limit.
void OsFileWriteLimitSet(long long bytes);
// As above; with W not 0 the bytes are reversed within each group of W bytes
// (after reading, or around the write so that BUFFER is unchanged after it).
void OsFileReadSwapped(int handle, void* buffer, int n, int& count, int w, int& err);
void OsFileWriteSwapped(int handle, void* buffer, int n, int& count, int w, int& err);
// Moves by POS from ORIGIN (0 start, 1 current, 2 end; other values: start);
// POS := the new position, -1 on failure (with ERR).
void OsFileSeek(int handle, int& pos, int origin, int& err);
void OsDeleteFile(const char* name, int& err);
void OsRenameFile(int& err, const char* oldName, const char* newName);
// Copies SOURCE to TARGET, overwriting an existing TARGET.
void OsCopyFile(const char* source, const char* target, int& err);
void OsSetFileAttributes(int attributes, int& err, const char* name);
// Facts of the first file matching NAME; SIZE := -1 when none matches.
void OsFileInfo(int& size, int& year, int& month, int& day, int& hour, int& minute,
                int& second, int& attributes, int& kbytes, const char* name);
// Creation, last-access and last-write times as low and high 32-bit words.
// A file that cannot be opened leaves all six words 0 (get) or unchanged.
void OsFileTimesGet(int& c1, int& c2, int& a1, int& a2, int& w1, int& w2, const char* name);
void OsFileTimesSet(int c1, int c2, int a1, int a2, int w1, int w2, const char* name);
// GetFullPathNameA of NAME into BUFFER; ERR when the call returns 0.
void OsFullPath(int& err, const char* name, char* buffer, int size);
// RESULT := 0 found (PROGRAM set), 1 file not found, -1 other failure,
// kErrorTextTooSmall (1023) when the program path does not fit into SIZE bytes.
void OsFindExecutable(int& result, const char* file, char* program, int size);

// One directory scan at a time. NEXT = 0 starts a scan of the pattern NAME,
// else continues it. Found: NAME := the entry (NUL-terminated; NAME must hold
// 260 bytes), ATTRIBUTES, DATETIME := local last-write time as MS-DOS date
// (high 16 bits) and time (low 16 bits), SIZE := low 32 bits, FOUND := 1.
// Else FOUND := 0 and ERR := the Windows error (18 at the normal end).
void OsDirScan(int next, char* name, int& attributes, int& datetime, int& size, int& found,
               int& err);
void OsDirScanEnd();

// ---------------------------------------------------------------------------
// Directories and drives

void OsChangeDir(const char* path, int& err);
void OsRemoveDir(const char* path, int& err);
void OsMakeDir(const char* path, int& err);
// TRUNCATED := 1 when the path needs more than SIZE - 1 characters.
void OsCurrentDir(char* buffer, int& err, int& truncated, int size);
// SERIAL := the volume serial number of ROOT, 0 on failure.
void OsVolumeSerial(int& serial, const char* root);
void OsDriveType(int& type, const char* root);
// Free space of the current drive (see the implementation for the limits).
void OsDiskFreeBytes(int& bytes);
void OsDiskFreeMB(int& mb);

// ---------------------------------------------------------------------------
// Date and time

void OsDate(int& year, int& month, int& day);
void OsTime(int& hour, int& minute, int& second, int& millisecond);
void YYDate(int& year, int& month, int& day);
void YYMonthDay(int& month, int& day);

// ---------------------------------------------------------------------------
// Registry. ROOT is a predefined key handle value (HKEY_CURRENT_USER, ...).

void OsRegistryDeleteKey(int root, int& status, const char* subkey);
void OsRegistryDeleteValue(int root, int& status, const char* subkey, const char* valueName);
// SIZE in: capacity of DATA (0 asks only for the size); out: the value's size.
void OsRegistryRead(int root, int& type, int& size, const char* subkey, const char* valueName,
                    void* data);
// Writes SIZE bytes of DATA (its full declared length) with registry type TYPE.
void OsRegistryWrite(int root, int type, int& status, const char* subkey, const char* valueName,
                     const void* data, int size);

// ---------------------------------------------------------------------------
// Library switches (words of LibraryState and of the window engine)

// The beep switch (1 after start-up).
void BeepEnable(int on);
// MessageBeep(0) when the beep switch is on.
void BeepIfEnabled();
void OsBeep();
// The locale-decimal input flag := 1 when FLAG is 1, else 0; at 1 numeric
// edit controls take the locale decimal separator as their decimal key.
void LocaleDecimalInputSet(int flag);
// RESULT := 2 when the system gradient fill was found when the window engine
// started, else 1.
void GradientFillAvailable(int& result);

// ---------------------------------------------------------------------------
// Public routines

// Deletes every file matching PATH ("*" and "?" allowed); directories are
// skipped. Failures report 13 with the Windows error in ErrorState.status.
void IOsDeleteFile(std::string_view path);
// Copies one file, or every file matching a wildcard SOURCE into the folder
// TARGET, overwriting. 55 when source and target are the same name, 13 on a
// system failure.
void IOsCopyFile(std::string_view source, std::string_view target);
// "ON " switches the beep on, "OFF" off, anything else beeps.
void YYBeepSwitch(std::string_view text);
