// Reader of a dialog's extras text: the RCDATA resource that travels with a
// DIALOG resource of the same number and tells the dialog manager what a
// template cannot say (ranges, list items, check states, tab pages, grids,
// colours, track-bar steps, text limits, resizing, formats, tree items, fonts,
// field flags). This file only reads the text; it hands every data line to a
// handler, which applies it to the dialog (dialogs/dialog_extras.cpp) or, in
// tests, records it.
//
// The text: single-byte, lines ended by LF, ended by a NUL (or by the end of
// the view). A line is a section header ("[Ranges]" ... "[Flags]"), or a data
// line: blanks, a decimal number (the control id; on "[Dialog]" lines a
// flag), then the section's fields, each followed by one or more blanks.
// "[Menus]" and "[Tabs]" take the lines after their data line as items and
// pages; "[Grids]" lets its handler say how much of the text it read. Every
// field scan stops at the line's LF or at the NUL, so a line that lacks its
// final blank, or a text that lacks its NUL, is never read past.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Section numbers, in the order the headers are tried.
enum class ExtrasSection : int {
    None = 0,
    Ranges = 1,
    Menus = 2,
    Checks = 3,
    Tabs = 4,
    Grids = 5,
    Colours = 6,
    Trackbars = 7,
    Lengths = 8,
    Dialog = 9,
    Formats = 10,
    Treeviews = 11,
    Fonts = 12,
    Flags = 13,
};

// Longest item text and tab label handed on (longer ones are cut). A format
// is handed on whole, however long its line.
constexpr size_t kExtrasItemLength = 1024;
// Longest font face name handed on.
constexpr size_t kExtrasFaceLength = 999;

// One page line of a "[Tabs]" data line.
struct ExtrasTabPage {
    int identifier = 0;
    std::string label;
};

// Receives the data lines of one extras text, in text order. Every method has
// an empty default so that a handler overrides only what it applies.
class ExtrasHandler {
public:
    virtual ~ExtrasHandler() = default;
    // "[Ranges]" id lower upper (each token read as a double).
    virtual void Range(int id, double lower, double upper) {}
    // "[Menus]" id count initial, and the item lines that followed (at most
    // count; fewer when the text ended).
    virtual void Menu(int id, int initial, const std::vector<std::string>& items) {}
    // "[Checks]" id state.
    virtual void Check(int id, int state) {}
    // "[Tabs]" id count initial-page, and its page lines.
    virtual void Tabs(int id, int initialPage, const std::vector<ExtrasTabPage>& pages) {}
    // "[Grids]" id followed by TEXT (the rest of the extras from the field
    // after the id); returns how many characters of TEXT it read. The reader
    // then skips the rest of the line it stopped in.
    virtual int Grid(int id, std::string_view text) { return 0; }
    // "[Colours]" id fr fg fb br bg bb.
    virtual void Colours(int id, int fr, int fg, int fb, int br, int bg, int bb) {}
    // "[Trackbars]" id tic line page selection-start selection-end.
    virtual void Trackbar(int id, int tic, int line, int page, int selectionStart, int selectionEnd) {}
    // "[Lengths]" id maximum.
    virtual void Length(int id, int maximum) {}
    // "[Dialog]" flag [stretch-id align]: HASSTRETCH is false when the line
    // ended after the flag.
    virtual void Dialog(int flag, bool hasStretch, int stretchId, int align) {}
    // "[Formats]" id format: the whole rest of the line without trailing
    // blanks, never cut (empty when it held blanks only).
    virtual void Format(int id, std::string_view format) {}
    // "[Treeviews]" id menu-id selected.
    virtual void Treeview(int id, int menuId, int selected) {}
    // "[Fonts]" id points face, weight italic.
    virtual void Font(int id, int points, std::string_view face, int weight, int italic) {}
    // "[Flags]" id value.
    virtual void Flags(int id, int value) {}
};

// Reads TEXT (up to its first NUL or its end) and calls HANDLER for every
// data line that follows a section header. Data lines before the first
// header are skipped.
void DialogExtrasRead(std::string_view text, ExtrasHandler& handler);

// 0 when A and B agree up to the end of the shorter of the two, else the
// difference of the first unequal characters (as unsigned bytes).
int TextPrefixCompare(std::string_view a, std::string_view b);

// Value of an optional leading "-" and the decimal digits that follow, up to
// the first other character; saturates at -2147483647 and 2147483647.
int ExtrasDecimalToInt(std::string_view text);
