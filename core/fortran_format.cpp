// Formatted output with Fortran-style edit descriptors.
//
// The format text is parsed once into a tree of descriptors (groups carry
// their children), then interpreted against the item list. Numbers are
// converted from their exact decimal expansion (std::to_chars in fixed
// notation with as many fraction digits as the binary value has), rounded to
// nearest with ties to even - the same digits std::to_chars gives for the
// same precision. Nothing here uses printf.
#include "core/fortran_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

// Limits that keep a hostile format from exhausting memory, time or stack.
// Every character put into a record counts against them, the blanks that
// positioning (X, TR, T) leaves before a write included; a write that passes
// one fails as a malformed format does.
constexpr int kMaxNumber = 100000;            // widths, counts, positions in a format
constexpr size_t kMaxRecord = 1000000;        // characters of one record
constexpr size_t kMaxOutput = 16u * 1000000u; // characters of one write
constexpr int kMaxScale = 1000;               // |k| of kP
constexpr int kMaxDepth = 100;                // nesting of parenthesised groups

// ---------------------------------------------------------------------------
// Parsed format

enum class Op {
    Int,     // Iw[.m]
    Fixed,   // Fw.d
    Exp,     // Ew.d[Ee]
    Sci,     // ESw.d[Ee]
    Gen,     // Gw[.d[Ee]]
    Alpha,   // A[w]
    Right,   // nX, TRn
    Left,    // TLn
    Tab,     // Tn
    Scale,   // kP
    Slash,   // [r]/
    Colon,   // :
    Literal, // 'text' or "text"
    Group,   // [r]( ... )
};

struct Node {
    Op op = Op::Literal;
    int repeat = 1;
    int w = 0;      // field width; position or count for X, TR, TL, T; k for P
    int d = 0;      // digits after the point (F, E, ES, G); minimum digits m (I)
    int e = 0;      // exponent digits (E, ES, G); 0 = not given
    bool hasW = false;
    bool hasD = false;
    std::string text;
    std::vector<Node> children;
};

bool IsDataOp(Op op)
{
    return op == Op::Int || op == Op::Fixed || op == Op::Exp || op == Op::Sci || op == Op::Gen ||
           op == Op::Alpha;
}

bool HasDataDescriptor(const std::vector<Node>& list, size_t from = 0)
{
    for (size_t i = from; i < list.size(); ++i) {
        if (IsDataOp(list[i].op))
            return true;
        if (list[i].op == Op::Group && HasDataDescriptor(list[i].children))
            return true;
    }
    return false;
}

// Recursive-descent parser over the format with blanks outside literals
// removed and letters upper-cased.
class FormatParser {
public:
    explicit FormatParser(std::string_view format)
    {
        char quote = 0;
        for (char c : format) {
            if (quote) {
                text_ += c;
                if (c == quote)
                    quote = 0; // a doubled quote reopens on the next character
            } else if (c == '\'' || c == '"') {
                quote = c;
                text_ += c;
            } else if (c != ' ' && c != '\t') {
                text_ += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
            }
        }
    }

    bool Parse(std::vector<Node>& root)
    {
        if (!Take('('))
            return false;
        if (!ParseList(root))
            return false;
        return pos_ == text_.size();
    }

private:
    std::string text_;
    size_t pos_ = 0;
    int depth_ = 0; // groups open around the item being parsed

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek(size_t ahead = 0) const
    {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }
    bool Take(char c)
    {
        if (Peek() != c || AtEnd())
            return false;
        ++pos_;
        return true;
    }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    // An unsigned number; false when none is there or it is out of range.
    bool Number(int& value)
    {
        if (!IsDigit(Peek()))
            return false;
        long long v = 0;
        while (IsDigit(Peek())) {
            v = v * 10 + (text_[pos_++] - '0');
            if (v > kMaxNumber)
                return false;
        }
        value = static_cast<int>(v);
        return true;
    }

    // Items up to and including the closing parenthesis. Commas separate
    // items and may be left out; an empty item (",," or "(,") is malformed.
    bool ParseList(std::vector<Node>& list)
    {
        bool afterComma = false;
        for (;;) {
            if (AtEnd())
                return false;
            if (Peek() == ')') {
                ++pos_;
                return !afterComma;
            }
            if (Peek() == ',') {
                if (afterComma || list.empty())
                    return false;
                ++pos_;
                afterComma = true;
                continue;
            }
            afterComma = false;
            Node node;
            if (!ParseItem(node))
                return false;
            list.push_back(std::move(node));
        }
    }

    bool ParseLiteral(Node& node)
    {
        char quote = text_[pos_++];
        node.op = Op::Literal;
        for (;;) {
            if (AtEnd())
                return false;
            char c = text_[pos_++];
            if (c == quote) {
                if (Peek() == quote && !AtEnd()) {
                    node.text += quote;
                    ++pos_;
                    continue;
                }
                return true;
            }
            node.text += c;
        }
    }

    // w.d[Ee] of F, E, ES and G (D_REQUIRED false only for G).
    bool ParseRealField(Node& node, bool dRequired, bool allowZeroWidth)
    {
        if (!Number(node.w))
            return false;
        node.hasW = true;
        if (node.w == 0 && !allowZeroWidth)
            return false;
        if (!Take('.'))
            return !dRequired;
        if (!Number(node.d))
            return false;
        node.hasD = true;
        if (node.op != Op::Fixed && Peek() == 'E' && IsDigit(Peek(1))) {
            ++pos_;
            if (!Number(node.e) || node.e == 0)
                return false;
        }
        return true;
    }

    bool ParseItem(Node& node)
    {
        // Scale factor with a sign: [+|-]kP.
        if (Peek() == '+' || Peek() == '-') {
            bool negative = text_[pos_++] == '-';
            int k = 0;
            if (!Number(k) || !Take('P') || k > kMaxScale)
                return false;
            node.op = Op::Scale;
            node.w = negative ? -k : k;
            return true;
        }
        int count = 0;
        bool hasCount = Number(count);
        if (hasCount && Peek() == 'P') {
            ++pos_;
            if (count > kMaxScale)
                return false;
            node.op = Op::Scale;
            node.w = count;
            return true;
        }
        if (hasCount && count == 0)
            return false;
        if (hasCount)
            node.repeat = count;
        if (AtEnd())
            return false;
        char c = text_[pos_++];
        switch (c) {
        case '(': {
            node.op = Op::Group;
            if (depth_ == kMaxDepth)
                return false;
            ++depth_;
            bool ok = ParseList(node.children) && !node.children.empty();
            --depth_;
            return ok;
        }
        case 'I':
            node.op = Op::Int;
            if (!Number(node.w))
                return false;
            node.hasW = true;
            if (Take('.')) {
                if (!Number(node.d) || (node.w > 0 && node.d > node.w))
                    return false;
                node.hasD = true;
            }
            return true;
        case 'F':
            node.op = Op::Fixed;
            return ParseRealField(node, true, true);
        case 'E':
            node.op = Op::Exp;
            if (Take('S'))
                node.op = Op::Sci;
            return ParseRealField(node, true, false);
        case 'G':
            node.op = Op::Gen;
            return ParseRealField(node, false, false);
        case 'A':
            node.op = Op::Alpha;
            if (IsDigit(Peek())) {
                if (!Number(node.w) || node.w == 0)
                    return false;
                node.hasW = true;
            }
            return true;
        case 'X':
            node.op = Op::Right;
            node.w = hasCount ? count : 1;
            node.repeat = 1;
            return true;
        case 'T': {
            if (hasCount)
                return false;
            node.op = Op::Tab;
            if (Take('L'))
                node.op = Op::Left;
            else if (Take('R'))
                node.op = Op::Right;
            return Number(node.w) && node.w > 0;
        }
        case '/':
            node.op = Op::Slash;
            return true;
        case ':':
            node.op = Op::Colon;
            return !hasCount;
        case '\'':
        case '"':
            --pos_;
            return !hasCount && ParseLiteral(node);
        default:
            return false;
        }
    }
};

// ---------------------------------------------------------------------------
// Decimal digits of a double

// A non-negative value as 0.DIGITS x 10^exp10; DIGITS has no leading or
// trailing zeros. Zero has no digits.
struct Decimal {
    std::string digits;
    int exp10 = 0;

    bool IsZero() const { return digits.empty(); }
    // Digit at index I of 0.DIGITS (zero outside).
    char At(long long i) const
    {
        return (i >= 0 && i < static_cast<long long>(digits.size())) ? digits[static_cast<size_t>(i)]
                                                                      : '0';
    }
};

// The exact decimal expansion of a finite non-negative double.
Decimal ExactDecimal(double value)
{
    Decimal out;
    if (value == 0.0)
        return out;
    // value = mantissa * 2^q with an odd integer mantissa; q < 0 needs exactly
    // -q fraction digits.
    int e2 = 0;
    double f = std::frexp(value, &e2);
    uint64_t mantissa = static_cast<uint64_t>(std::ldexp(f, 53));
    int q = e2 - 53;
    while (mantissa != 0 && (mantissa & 1u) == 0 && q < 0) {
        mantissa >>= 1;
        ++q;
    }
    int fraction = q < 0 ? -q : 0;
    char buffer[1600];
    auto res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, fraction);
    std::string_view text(buffer, res.ec == std::errc() ? static_cast<size_t>(res.ptr - buffer) : 0);
    size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view frac = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    std::string all = std::string(whole) + std::string(frac);
    size_t lead = all.find_first_not_of('0');
    if (lead == std::string::npos)
        return out;
    out.exp10 = static_cast<int>(whole.size()) - static_cast<int>(lead);
    all.erase(0, lead);
    all.erase(all.find_last_not_of('0') + 1);
    out.digits = std::move(all);
    return out;
}

// Rounds to the place 10^-fractionDigits (nearest, ties to even).
void RoundAt(Decimal& dec, long long fractionDigits)
{
    if (dec.IsZero())
        return;
    long long keep = dec.exp10 + fractionDigits;
    long long len = static_cast<long long>(dec.digits.size());
    if (keep >= len)
        return;
    if (keep < 0) {
        dec = Decimal();
        return;
    }
    char next = dec.digits[static_cast<size_t>(keep)];
    bool up = next > '5' || (next == '5' && keep + 1 < len) ||
              (next == '5' && keep > 0 && ((dec.digits[static_cast<size_t>(keep - 1)] - '0') & 1));
    dec.digits.resize(static_cast<size_t>(keep));
    if (up) {
        long long i = keep - 1;
        while (i >= 0 && dec.digits[static_cast<size_t>(i)] == '9') {
            dec.digits[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++dec.digits[static_cast<size_t>(i)];
        } else {
            dec.digits.insert(dec.digits.begin(), '1');
            ++dec.exp10;
        }
    }
    size_t last = dec.digits.find_last_not_of('0');
    if (last == std::string::npos)
        dec = Decimal();
    else
        dec.digits.erase(last + 1);
}

// ---------------------------------------------------------------------------
// Fields

std::string Stars(int w) { return std::string(static_cast<size_t>(w > 0 ? w : 1), '*'); }

// Right-justifies BODY in W characters; asterisks when it does not fit.
// W = 0 means "as wide as needed".
std::string Justify(const std::string& body, int w)
{
    if (w == 0)
        return body;
    if (body.size() > static_cast<size_t>(w))
        return Stars(w);
    return std::string(static_cast<size_t>(w) - body.size(), ' ') + body;
}

std::string IntegerField(int64_t value, int w, bool hasM, int m)
{
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string digits;
    if (!(hasM && m == 0 && magnitude == 0)) {
        char buf[24];
        auto res = std::to_chars(buf, buf + sizeof buf, magnitude);
        digits.assign(buf, res.ptr);
    }
    if (hasM && digits.size() < static_cast<size_t>(m))
        digits.insert(0, static_cast<size_t>(m) - digits.size(), '0');
    if (value < 0)
        digits.insert(digits.begin(), '-');
    return Justify(digits, w);
}

// Infinity and NaN in a real field of width W.
std::string NonFiniteField(double value, int w)
{
    if (std::isnan(value))
        return w != 0 && w < 3 ? Stars(w) : Justify("NaN", w);
    bool negative = std::signbit(value);
    std::string word = (w == 0 || w >= 8 + (negative ? 1 : 0)) ? "Infinity" : "Inf";
    if (negative)
        word.insert(word.begin(), '-');
    return Justify(word, w);
}

std::string FixedField(double value, int w, int d, int scale)
{
    if (!std::isfinite(value))
        return NonFiniteField(value, w);
    bool negative = std::signbit(value);
    Decimal dec = ExactDecimal(std::fabs(value));
    if (!dec.IsZero())
        dec.exp10 += scale;
    RoundAt(dec, d);
    std::string body;
    if (negative)
        body += '-';
    size_t signAndInt = body.size();
    for (long long i = 0; i < dec.exp10; ++i)
        body += dec.At(i);
    bool noIntegerDigits = body.size() == signAndInt;
    body += '.';
    for (long long i = 0; i < d; ++i)
        body += dec.At(dec.exp10 + i);
    // The zero before the point is optional; it is written when it fits (and
    // always when there are no digits after the point).
    if (noIntegerDigits && (w == 0 || d == 0 || body.size() < static_cast<size_t>(w)))
        body.insert(signAndInt, 1, '0');
    return Justify(body, w);
}

// The exponent part for Ew.d[Ee] and ESw.d[Ee]; empty when it cannot be written.
std::string ExponentPart(long long exponent, int e)
{
    unsigned long long magnitude = static_cast<unsigned long long>(exponent < 0 ? -exponent : exponent);
    std::string digits = std::to_string(magnitude);
    char sign = exponent < 0 ? '-' : '+';
    if (e > 0) {
        if (digits.size() > static_cast<size_t>(e))
            return {};
        return std::string("E") + sign + std::string(static_cast<size_t>(e) - digits.size(), '0') + digits;
    }
    if (magnitude <= 99)
        return std::string("E") + sign + (magnitude < 10 ? "0" : "") + digits;
    if (magnitude <= 999)
        return std::string(1, sign) + digits;
    return {};
}

// Ew.d[Ee] (scientific = false, with scale factor) or ESw.d[Ee]. False when
// the scale factor does not suit d.
bool ExponentField(double value, int w, int d, int e, int scale, bool scientific, std::string& out)
{
    if (!std::isfinite(value)) {
        out = NonFiniteField(value, w);
        return true;
    }
    if (!scientific && !(-d < scale && scale < d + 2))
        return false;
    bool negative = std::signbit(value);
    Decimal dec = ExactDecimal(std::fabs(value));
    int leading = scientific ? 1 : (scale > 0 ? scale : 0); // digits before the point
    int significant = scientific ? d + 1 : (scale > 0 ? d + 1 : d + scale);
    long long exponent = 0;
    if (!dec.IsZero()) {
        RoundAt(dec, static_cast<long long>(significant) - dec.exp10);
        exponent = static_cast<long long>(dec.exp10) - (scientific ? 1 : scale);
    }
    std::string expo = ExponentPart(exponent, e);
    if (expo.empty()) {
        out = Stars(w);
        return true;
    }
    std::string body;
    if (negative)
        body += '-';
    size_t afterSign = body.size();
    long long index = 0;
    for (int i = 0; i < leading; ++i)
        body += dec.At(index++);
    body += '.';
    int zeros = (!scientific && scale < 0) ? -scale : 0;
    body.append(static_cast<size_t>(zeros), '0');
    int fraction = scientific ? d : (scale > 0 ? d - scale + 1 : d + scale);
    for (int i = 0; i < fraction; ++i)
        body += dec.At(index++);
    body += expo;
    if (leading == 0 && body.size() < static_cast<size_t>(w))
        body.insert(afterSign, 1, '0');
    out = Justify(body, w);
    return true;
}

// Gw.d[Ee] for a real: F form with blanks in place of the exponent when the
// value rounded to d digits lies in [0.1, 10^d), else E form.
bool GeneralField(double value, int w, int d, int e, int scale, std::string& out)
{
    if (!std::isfinite(value)) {
        out = NonFiniteField(value, w);
        return true;
    }
    int blanks = e > 0 ? e + 2 : 4;
    Decimal dec = ExactDecimal(std::fabs(value));
    int fraction = -1;
    if (dec.IsZero()) {
        fraction = d - 1;
    } else {
        RoundAt(dec, static_cast<long long>(d) - dec.exp10);
        if (dec.exp10 >= 0 && dec.exp10 <= d)
            fraction = d - dec.exp10;
    }
    if (fraction < 0)
        return ExponentField(value, w, d, e, scale, false, out);
    if (w - blanks < 1) {
        out = Stars(w);
        return true;
    }
    std::string fixed = FixedField(value, w - blanks, fraction, 0);
    out = fixed.find('*') != std::string::npos ? Stars(w) : fixed + std::string(static_cast<size_t>(blanks), ' ');
    return true;
}

std::string TextField(std::string_view text, const Node& node)
{
    if (!node.hasW)
        return std::string(text);
    size_t w = static_cast<size_t>(node.w);
    if (text.size() >= w)
        return std::string(text.substr(0, w));
    return std::string(w - text.size(), ' ') + std::string(text);
}

// ---------------------------------------------------------------------------
// Interpreter

class Writer {
public:
    Writer(std::span<const FormatItem> items, std::vector<std::string>& records)
        : items_(items), records_(records),
          budget_(1000000 + 64 * static_cast<long long>(items.size()))
    {
    }

    // Runs the format and its reversions; true when every item was written.
    bool Run(const std::vector<Node>& root)
    {
        // Reversion goes back to the last top-level group (with its repeat
        // count), or to the start of the format when it has none.
        size_t reversion = 0;
        for (size_t i = 0; i < root.size(); ++i)
            if (root[i].op == Op::Group)
                reversion = i;
        bool reversionHasData = HasDataDescriptor(root, reversion);

        bool running = RunList(root, 0);
        while (running && next_ < items_.size()) {
            if (!reversionHasData) {
                fault_ = true;
                break;
            }
            EndRecord();
            running = RunList(root, reversion);
        }
        records_.push_back(record_);
        return !fault_;
    }

    // True when the write stopped at one of the limits.
    bool LimitReached() const { return limit_; }

private:
    std::span<const FormatItem> items_;
    std::vector<std::string>& records_;
    std::string record_;
    size_t position_ = 0;
    size_t next_ = 0;
    size_t output_ = 0;
    int scale_ = 0;
    long long steps_ = 0;
    long long budget_;
    bool fault_ = false;
    bool limit_ = false;

    void EndRecord()
    {
        records_.push_back(std::move(record_));
        record_.clear();
        position_ = 0;
    }

    bool Put(const std::string& text)
    {
        // The blanks between the record's end and the write position count
        // as written: they are put into the record with the text.
        size_t padding = position_ > record_.size() ? position_ - record_.size() : 0;
        size_t end = position_ + text.size();
        output_ += padding + text.size();
        if (end > kMaxRecord || output_ > kMaxOutput)
            return Limit();
        if (record_.size() < end)
            record_.resize(end, ' ');
        std::copy(text.begin(), text.end(), record_.begin() + static_cast<std::ptrdiff_t>(position_));
        position_ = end;
        return true;
    }

    bool Fail()
    {
        fault_ = true;
        return false;
    }

    bool Limit()
    {
        limit_ = true;
        return Fail();
    }

    // False stops the write (items exhausted at a data descriptor, or a fault).
    bool RunList(const std::vector<Node>& list, size_t from)
    {
        for (size_t i = from; i < list.size(); ++i)
            for (int r = 0; r < list[i].repeat; ++r)
                if (!Execute(list[i]))
                    return false;
        return true;
    }

    bool Execute(const Node& node)
    {
        if (++steps_ > budget_)
            return Limit();
        switch (node.op) {
        case Op::Group:
            return RunList(node.children, 0);
        case Op::Right:
            position_ += static_cast<size_t>(node.w);
            return position_ <= kMaxRecord || Limit();
        case Op::Left:
            position_ = position_ > static_cast<size_t>(node.w) ? position_ - static_cast<size_t>(node.w) : 0;
            return true;
        case Op::Tab:
            position_ = static_cast<size_t>(node.w - 1);
            return true;
        case Op::Scale:
            scale_ = node.w;
            return true;
        case Op::Slash:
            EndRecord();
            return true;
        case Op::Colon:
            return next_ < items_.size();
        case Op::Literal:
            return Put(node.text);
        default:
            break;
        }
        if (next_ >= items_.size())
            return false; // normal end: the next data descriptor finds no item
        const FormatItem& item = items_[next_++];
        std::string field;
        switch (node.op) {
        case Op::Int:
            if (item.kind != FormatItem::Kind::Integer)
                return Fail();
            field = IntegerField(item.integer, node.w, node.hasD, node.d);
            break;
        case Op::Fixed:
            if (item.kind != FormatItem::Kind::Real)
                return Fail();
            field = FixedField(item.real, node.w, node.d, scale_);
            break;
        case Op::Exp:
        case Op::Sci:
            if (item.kind != FormatItem::Kind::Real ||
                !ExponentField(item.real, node.w, node.d, node.e, scale_, node.op == Op::Sci, field))
                return Fail();
            break;
        case Op::Gen:
            // G edits an integer as Iw and a text as Aw.
            if (item.kind == FormatItem::Kind::Integer)
                field = IntegerField(item.integer, node.w, false, 0);
            else if (item.kind == FormatItem::Kind::Text)
                field = TextField(item.text, node);
            else if (!node.hasD || !GeneralField(item.real, node.w, node.d, node.e, scale_, field))
                return Fail();
            break;
        case Op::Alpha:
            if (item.kind != FormatItem::Kind::Text)
                return Fail();
            field = TextField(item.text, node);
            break;
        default:
            return Fail();
        }
        return Put(field);
    }
};

} // namespace

bool FortranWrite(std::string_view format, std::span<const FormatItem> items,
                  std::vector<std::string>& records)
{
    records.clear();
    std::vector<Node> root;
    FormatParser parser(format);
    if (!parser.Parse(root))
        return false;
    Writer writer(items, records);
    return writer.Run(root);
}

std::string FortranFormat(std::string_view format, std::span<const FormatItem> items)
{
    std::vector<std::string> records;
    if (!FortranWrite(format, items, records))
        return {};
    std::string out;
    for (size_t i = 0; i < records.size(); ++i) {
        if (i)
            out += '\n';
        out += records[i];
    }
    return out;
}

std::string FortranFormat(std::string_view format, std::initializer_list<FormatItem> items)
{
    return FortranFormat(format, std::span<const FormatItem>(items.begin(), items.size()));
}

int FortranWriteText(std::string_view format, std::span<const FormatItem> items, std::span<char> text)
{
    std::fill(text.begin(), text.end(), ' ');
    std::vector<std::string> records;
    std::vector<Node> root;
    FormatParser parser(format);
    if (!parser.Parse(root))
        return kFortranBadFormat;
    Writer writer(items, records);
    bool ok = writer.Run(root);
    if (!records.empty()) {
        const std::string& first = records.front();
        std::copy_n(first.begin(), std::min(first.size(), text.size()), text.begin());
    }
    if (!ok)
        return writer.LimitReached() ? kFortranBadFormat : kFortranWriteFault;
    if (records.size() > 1 || records.front().size() > text.size())
        return kFortranRecordOverflow;
    return 0;
}
