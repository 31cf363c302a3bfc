// The extras reader on plain texts: every section, the line and field rules,
// and texts that end early or lack their final blanks, LF or NUL.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dialogs/dialog_extras_parser.h"

namespace {

// Writes every call as one line of text.
class Recorder : public ExtrasHandler {
public:
    std::vector<std::string> calls;
    int gridConsumes = 0; // characters the grid handler claims to have read
    std::vector<std::string> gridTexts;

    void Range(int id, double lower, double upper) override
    {
        calls.push_back("Range " + std::to_string(id) + " " + Num(lower) + " " + Num(upper));
    }
    void Menu(int id, int initial, const std::vector<std::string>& items) override
    {
        std::string s = "Menu " + std::to_string(id) + " " + std::to_string(initial);
        for (const auto& i : items)
            s += " [" + i + "]";
        calls.push_back(s);
    }
    void Check(int id, int state) override { calls.push_back("Check " + std::to_string(id) + " " + std::to_string(state)); }
    void Tabs(int id, int initialPage, const std::vector<ExtrasTabPage>& pages) override
    {
        std::string s = "Tabs " + std::to_string(id) + " " + std::to_string(initialPage);
        for (const auto& p : pages)
            s += " " + std::to_string(p.identifier) + "[" + p.label + "]";
        calls.push_back(s);
    }
    int Grid(int id, std::string_view text) override
    {
        gridTexts.emplace_back(text);
        calls.push_back("Grid " + std::to_string(id));
        return gridConsumes;
    }
    void Colours(int id, int fr, int fg, int fb, int br, int bg, int bb) override
    {
        calls.push_back("Colours " + std::to_string(id) + Ints({fr, fg, fb, br, bg, bb}));
    }
    void Trackbar(int id, int tic, int line, int page, int s, int e) override
    {
        calls.push_back("Trackbar " + std::to_string(id) + Ints({tic, line, page, s, e}));
    }
    void Length(int id, int maximum) override { calls.push_back("Length " + std::to_string(id) + " " + std::to_string(maximum)); }
    void Dialog(int flag, bool hasStretch, int stretchId, int align) override
    {
        calls.push_back("Dialog " + std::to_string(flag) +
                        (hasStretch ? " " + std::to_string(stretchId) + " " + std::to_string(align) : ""));
    }
    void Format(int id, std::string_view format) override
    {
        calls.push_back("Format " + std::to_string(id) + " [" + std::string(format) + "]");
    }
    void Treeview(int id, int menuId, int selected) override
    {
        calls.push_back("Treeview " + std::to_string(id) + Ints({menuId, selected}));
    }
    void Font(int id, int points, std::string_view face, int weight, int italic) override
    {
        calls.push_back("Font " + std::to_string(id) + " " + std::to_string(points) + " [" + std::string(face) + "]" +
                        Ints({weight, italic}));
    }
    void Flags(int id, int value) override { calls.push_back("Flags " + std::to_string(id) + " " + std::to_string(value)); }

private:
    static std::string Num(double v)
    {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%g", v);
        return buf;
    }
    static std::string Ints(std::initializer_list<int> v)
    {
        std::string s;
        for (int x : v)
            s += " " + std::to_string(x);
        return s;
    }
};

std::vector<std::string> Read(std::string_view text)
{
    Recorder r;
    DialogExtrasRead(text, r);
    return r.calls;
}

struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> calls;
};

TEST(ExtrasReader, SectionsAndLineRules)
{
    using namespace std::string_literals;
    const std::vector<Case> cases = {
        {"the application's check lines",
         "[Checks] \n 1009 1 \n 1015 1 \n 1001 1 \n 1023 0 \n", {"Check 1009 1", "Check 1015 1", "Check 1001 1", "Check 1023 0"}},
        {"a header right after a header leaves an empty section",
         "[Ranges] \n[Checks] \n 1009 1 \n", {"Check 1009 1"}},
        {"data lines before the first header are skipped",
         " 1009 1 \n 1010 1 \n[Checks] \n 1011 0 \n", {"Check 1011 0"}},
        {"ranges are read as doubles",
         "[Ranges] \n 1021               0             100 \n 1004 -2.5 1E3 \n", {"Range 1021 0 100", "Range 1004 -2.5 1000"}},
        {"track-bar line",
         "[Trackbars] \n 1021              10               1              10               0               0 \n",
         {"Trackbar 1021 10 1 10 0 0"}},
        {"colours with -1 and 256",
         "[Colours] \n 1009 000 000 255 256 256 256 \n 1006 -1 0 0 256 256 256 \n",
         {"Colours 1009 0 0 255 256 256 256", "Colours 1006 -1 0 0 256 256 256"}},
        {"fonts: the face runs to the comma, blanks inside kept",
         "[Fonts] \n 1003   10 MS Sans Serif, 700 0 \n 1006   12 MS Sans Serif,    700 2 \n",
         {"Font 1003 10 [MS Sans Serif] 700 0", "Font 1006 12 [MS Sans Serif] 700 2"}},
        {"a font line without its comma stops at the line end",
         "[Fonts] \n 1003 10 Arial \n 1004 8 Courier New, 400 1 \n",
         {"Font 1003 10 [Arial ] 0 0", "Font 1004 8 [Courier New] 400 1"}},
        {"dialog line with the flag only, and with stretch id and align",
         "[Dialog] \n 1 \n[Dialog] \n 0 1030 1 \n", {"Dialog 1", "Dialog 0 1030 1"}},
        {"formats: rest of the line less trailing blanks; a blank rest is empty",
         "[Formats] \n 1004 (F10.1)   \n 1005    \n 1006 (G15.5E2) x \n",
         {"Format 1004 [(F10.1)]", "Format 1005 []", "Format 1006 [(G15.5E2) x]"}},
        {"the application's format section without data lines", "[Formats] \n", {}},
        {"lengths, flags and tree views",
         "[Lengths] \n 1004 20 \n[Flags] \n 1040 1 \n[Treeviews] \n 1070 700 712 \n",
         {"Length 1004 20", "Flags 1040 1", "Treeview 1070 700 712"}},
        {"menus: items keep leading blanks and lose trailing ones",
         "[Menus] \n 1040 2 2 \n first item \n   two words   \n 1041 1 1 \nAlpha\n",
         {"Menu 1040 2 [ first item] [   two words]", "Menu 1041 1 [Alpha]"}},
        {"menus: count 3 with two item lines before the NUL adds two items",
         "[Menus] \n 1040 3 1 \n one \n two \n", {"Menu 1040 1 [ one] [ two]"}},
        {"menus: an item line at the end without its LF",
         "[Menus] \n 1040 3 0 \n one \n two", {"Menu 1040 0 [ one] [ two]"}},
        {"menus: count 0 and a negative count take no lines",
         "[Menus] \n 1040 0 0 \n 1041 -2 0 \n", {"Menu 1040 0", "Menu 1041 0"}},
        {"tabs: identifier and label less its final blank",
         "[Tabs] \n 1050 2 202 \n 201 Page one \n 202 Second page \n", {"Tabs 1050 202 201[Page one] 202[Second page]"}},
        {"tabs: a label without its final blank keeps its last character",
         "[Tabs] \n 1050 1 201 \n 201 Page", {"Tabs 1050 201 201[Page]"}},
        {"a header that is a prefix of the line still counts", "[Checks]more \n 5 1 \n", {"Check 5 1"}},
        {"lines of blanks only are skipped", "[Checks] \n\n     \n 5 1 \n", {"Check 5 1"}},
        {"a field missing at the line end reads 0 and never the next line",
         "[Trackbars] \n 1021 10 1\n 1022 5 2 5 0 0 \n", {"Trackbar 1021 10 1 0 0 0", "Trackbar 1022 5 2 5 0 0"}},
        {"the last line without its blank, LF or NUL", "[Checks] \n 1009 1", {"Check 1009 1"}},
        {"nothing after the NUL is read", "[Checks] \n 1 1 \n\0 2 1 \n"s, {"Check 1 1"}},
        {"ids saturate instead of overflowing",
         "[Checks] \n 99999999999 1 \n -99999999999 0 \n", {"Check 2147483647 1", "Check -2147483647 0"}},
        {"empty text", "", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Read(c.text), c.calls) << c.what;
}

// Items and labels are cut at 1024 characters; a format is handed on whole.
TEST(ExtrasReader, LongItemsAndLabelsAreCutFormatsKeptWhole)
{
    std::string item(1500, 'x');
    auto calls = Read("[Menus] \n 7 1 1 \n" + item + " \n[Tabs] \n 8 1 9 \n 9 " + item + " \n[Formats] \n 10 " + item +
                      "   \n");
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0], "Menu 7 1 [" + std::string(1024, 'x') + "]");
    EXPECT_EQ(calls[1], "Tabs 8 9 9[" + std::string(1024, 'x') + "]");
    EXPECT_EQ(calls[2], "Format 10 [" + item + "]");
}

TEST(ExtrasReader, GridRecordsSayHowMuchTheyRead)
{
    const std::string text = "[Grids] \n 1060 3 2 401 \n 40 a b \n[Checks] \n 1 1 \n";
    Recorder r;
    // The grid reads its record and the first characters of the next line; the
    // reader skips the rest of that line and goes on with the next header.
    r.gridConsumes = static_cast<int>(std::string("3 2 401 \n 40").size());
    DialogExtrasRead(text, r);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"Grid 1060", "Check 1 1"}));
    ASSERT_EQ(r.gridTexts.size(), 1u);
    EXPECT_EQ(r.gridTexts[0].substr(0, 8), "3 2 401 ");

    // A grid that reads nothing: the reader goes on with the next line.
    Recorder none;
    DialogExtrasRead(text, none);
    EXPECT_EQ(none.calls, (std::vector<std::string>{"Grid 1060", "Grid 40", "Check 1 1"}));

    // A count past the end of the text (or negative) never moves outside it.
    for (int consumed : {100000, -5}) {
        Recorder far;
        far.gridConsumes = consumed;
        DialogExtrasRead(text, far);
        EXPECT_EQ(far.calls.front(), "Grid 1060");
    }
}

TEST(ExtrasReader, PrefixCompareAndNumbers)
{
    EXPECT_EQ(TextPrefixCompare("[Ranges] \n", "[Ranges]"), 0);
    EXPECT_EQ(TextPrefixCompare("[Ran", "[Ranges]"), 0); // the shorter decides
    EXPECT_EQ(TextPrefixCompare("", "[Ranges]"), 0);
    EXPECT_EQ(TextPrefixCompare("[Checks]", "[Colours]"), 'h' - 'o');
    EXPECT_EQ(TextPrefixCompare("\xff", "a"), 0xff - 'a');

    EXPECT_EQ(ExtrasDecimalToInt("1021 "), 1021);
    EXPECT_EQ(ExtrasDecimalToInt("-7x"), -7);
    EXPECT_EQ(ExtrasDecimalToInt("+7"), 0);
    EXPECT_EQ(ExtrasDecimalToInt("-"), 0);
    EXPECT_EQ(ExtrasDecimalToInt("2147483647"), 2147483647);
    EXPECT_EQ(ExtrasDecimalToInt("2147483648"), 2147483647);
    EXPECT_EQ(ExtrasDecimalToInt("-4294967297"), -2147483647);
}

} // namespace
