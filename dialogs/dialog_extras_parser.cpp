// Reader of a dialog's extras text (see dialogs/dialog_extras_parser.h).
#include "dialogs/dialog_extras_parser.h"

#include <algorithm>
#include <array>

#include "core/conversions.h"

namespace {

constexpr std::array<std::string_view, 13> kHeaders = {
    "[Ranges]", "[Menus]",   "[Checks]",    "[Tabs]",  "[Grids]",  "[Colours]", "[Trackbars]",
    "[Lengths]", "[Dialog]", "[Formats]", "[Treeviews]", "[Fonts]", "[Flags]",
};

std::string_view TrimTrailingBlanks(std::string_view s)
{
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// A cursor over the text up to its first NUL. Field reads never pass the LF
// of the line they start in.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text.substr(0, text.find('\0'))) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    bool AtLineEnd() const { return AtEnd() || text_[pos_] == '\n'; }
    std::string_view Rest() const { return text_.substr(pos_); }

    void SkipBlanks()
    {
        while (!AtEnd() && text_[pos_] == ' ')
            ++pos_;
    }
    // To the character after the next LF, or to the end.
    void SkipLine()
    {
        size_t lf = text_.find('\n', pos_);
        pos_ = lf == std::string_view::npos ? text_.size() : lf + 1;
    }
    void Advance(size_t n) { pos_ = std::min(text_.size(), pos_ + n); }

    // A number, then on to the next blank and past the blanks after it.
    int Number()
    {
        int v = ExtrasDecimalToInt(Rest());
        PastField();
        return v;
    }
    // The characters up to the next blank (or the line end), then past the
    // blanks after them.
    std::string_view Token()
    {
        size_t start = pos_;
        while (!AtLineEnd() && text_[pos_] != ' ')
            ++pos_;
        std::string_view token = text_.substr(start, pos_ - start);
        SkipBlanks();
        return token;
    }
    // The characters up to the next STOP character or the line end; the
    // cursor stays on that character.
    std::string_view Until(char stop)
    {
        size_t start = pos_;
        while (!AtLineEnd() && text_[pos_] != stop)
            ++pos_;
        return text_.substr(start, pos_ - start);
    }
    // The rest of the line without its LF; the cursor moves past the LF.
    std::string_view Line()
    {
        std::string_view line = Until('\n');
        SkipLine();
        return line;
    }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    void Step() { Advance(1); }

private:
    void PastField()
    {
        while (!AtLineEnd() && text_[pos_] != ' ')
            ++pos_;
        SkipBlanks();
    }

    std::string_view text_;
    size_t pos_ = 0;
};

ExtrasSection HeaderAt(std::string_view text)
{
    for (size_t i = 0; i < kHeaders.size(); ++i)
        if (TextPrefixCompare(text, kHeaders[i]) == 0)
            return static_cast<ExtrasSection>(i + 1);
    return ExtrasSection::None;
}

double DoubleToken(Cursor& c)
{
    double v = 0.0;
    YYTextToDoubleQuiet(v, c.Token());
    return v;
}

void ReadMenu(Cursor& c, int id, ExtrasHandler& h)
{
    int count = c.Number();
    int initial = c.Number();
    c.SkipLine();
    std::vector<std::string> items;
    for (int i = 0; i < count && !c.AtEnd(); ++i) {
        std::string_view line = c.Line();
        items.emplace_back(TrimTrailingBlanks(line.substr(0, kExtrasItemLength)));
    }
    h.Menu(id, initial, items);
}

void ReadTabs(Cursor& c, int id, ExtrasHandler& h)
{
    int count = c.Number();
    int initial = c.Number();
    c.SkipLine();
    std::vector<ExtrasTabPage> pages;
    for (int i = 0; i < count && !c.AtEnd(); ++i) {
        c.SkipBlanks();
        ExtrasTabPage page;
        page.identifier = c.Number();
        std::string_view label = c.Line();
        // The line's last character is the blank written before its LF.
        if (!label.empty() && label.back() == ' ')
            label.remove_suffix(1);
        page.label = std::string(label.substr(0, kExtrasItemLength));
        pages.push_back(std::move(page));
    }
    h.Tabs(id, initial, pages);
}

void ReadFont(Cursor& c, int id, ExtrasHandler& h)
{
    int points = c.Number();
    std::string_view face = c.Until(',').substr(0, kExtrasFaceLength);
    if (c.Peek() == ',')
        c.Step();
    c.SkipBlanks();
    int weight = c.Number();
    int italic = c.Number();
    h.Font(id, points, face, weight, italic);
}

} // namespace

int TextPrefixCompare(std::string_view a, std::string_view b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
    return 0;
}

int ExtrasDecimalToInt(std::string_view text)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        v = std::min(2147483647LL, v * 10 + (text[i] - '0'));
    return static_cast<int>(negative ? -v : v);
}

void DialogExtrasRead(std::string_view text, ExtrasHandler& h)
{
    Cursor c(text);
    ExtrasSection section = ExtrasSection::None;
    while (!c.AtEnd()) {
        c.SkipBlanks();
        if (c.AtLineEnd()) { // a line of blanks only names no control
            c.SkipLine();
            continue;
        }
        ExtrasSection header = HeaderAt(c.Rest());
        if (header != ExtrasSection::None) {
            section = header;
            c.SkipLine();
            continue;
        }
        int id = c.Number();
        switch (section) {
        case ExtrasSection::None:
            break;
        case ExtrasSection::Ranges: {
            double lower = DoubleToken(c);
            double upper = DoubleToken(c);
            h.Range(id, lower, upper);
            break;
        }
        case ExtrasSection::Menus:
            ReadMenu(c, id, h);
            continue; // the cursor already stands on the line after the items
        case ExtrasSection::Checks:
            h.Check(id, c.Number());
            break;
        case ExtrasSection::Tabs:
            ReadTabs(c, id, h);
            continue;
        case ExtrasSection::Grids: {
            std::string_view rest = c.Rest();
            int used = h.Grid(id, rest);
            c.Advance(static_cast<size_t>(std::clamp(used, 0, static_cast<int>(rest.size()))));
            break;
        }
        case ExtrasSection::Colours: {
            int v[6];
            for (int& x : v)
                x = c.Number();
            h.Colours(id, v[0], v[1], v[2], v[3], v[4], v[5]);
            break;
        }
        case ExtrasSection::Trackbars: {
            int v[5];
            for (int& x : v)
                x = c.Number();
            h.Trackbar(id, v[0], v[1], v[2], v[3], v[4]);
            break;
        }
        case ExtrasSection::Lengths:
            h.Length(id, c.Number());
            break;
        case ExtrasSection::Dialog:
            if (c.AtLineEnd()) {
                h.Dialog(id, false, 0, 0);
            } else {
                int stretch = c.Number();
                int align = c.Number();
                h.Dialog(id, true, stretch, align);
            }
            break;
        case ExtrasSection::Formats:
            h.Format(id, TrimTrailingBlanks(c.Until('\n')));
            break;
        case ExtrasSection::Treeviews: {
            int menu = c.Number();
            int selected = c.Number();
            h.Treeview(id, menu, selected);
            break;
        }
        case ExtrasSection::Fonts:
            ReadFont(c, id, h);
            break;
        case ExtrasSection::Flags:
            h.Flags(id, c.Number());
            break;
        }
        c.SkipLine();
    }
}
