#include "codec/rtf/Reader.h"

#include "codec/CodePages.h"

#include <QByteArray>
#include <QHash>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// One pass over the bytes with an explicit group stack: hostile files nest groups
// hundreds of thousands deep, so nothing here recurses.
//
// Which format counts as the document's default, so that plain files come back
// without runs: the font named by \deffN, and the font size that the outermost
// group holds when the first character of body text is written (24 half-points,
// RTF's own default, when that group never set \fs). Our writer puts
// "\pard\f0\fs16" in the outermost group before the first line, so its plain
// files read back with no runs and its formatted ones with exactly the runs it
// wrote. A run names a font only when its family differs from the \deff font's.
//
// Paragraph formatting (alignment, indents, spacing, tab stops, borders, shading,
// list levels, styles) and character properties the model cannot show
// (super/subscript, caps, scaling, language, character spacing) are read and dropped.

namespace codec {

namespace {

constexpr int maximumDepth = 10000;
constexpr int maximumWordLength = 32;
constexpr int maximumDigits = 10;
constexpr int maximumTableEntries = 32767;
constexpr int maximumFontNameLength = 256;
constexpr int maximumUnicodeSkip = 16;
constexpr int defaultHalfPointsOfRtf = 24;
constexpr char16_t replacementCharacter = 0xFFFD;
constexpr char16_t lineSeparator = 0x2028;

enum class Keyword : std::uint8_t {
    Unknown,
    // destinations
    SkippedDestination,
    FontTable,
    ColorTable,
    Rtf,
    Urtf,
    Upr,
    Ud,
    Field,
    FieldResult,
    NestedTableProperties,
    // header
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    // font and colour tables
    Font,
    FontCharset,
    Red,
    Green,
    Blue,
    // character formatting
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    StrikeDouble,
    FontSize,
    Foreground,
    Background,
    Highlight,
    Plain,
    Hidden,
    // paragraphs
    ParagraphDefaults,
    InTable,
    Paragraph,
    Section,
    Line,
    Page,
    Column,
    Cell,
    NestedCell,
    Row,
    NestedRow,
    // characters
    Tab,
    EmDash,
    EnDash,
    LeftQuote,
    RightQuote,
    LeftDoubleQuote,
    RightDoubleQuote,
    Bullet,
    EmSpace,
    EnSpace,
    QuarterEmSpace,
    ZeroWidthJoiner,
    ZeroWidthNonJoiner,
    LeftToRightMark,
    RightToLeftMark,
    // Unicode and binary
    UnicodeCharacter,
    UnicodeSkip,
    Binary,
};

bool isDestination(Keyword keyword)
{
    return keyword >= Keyword::SkippedDestination && keyword <= Keyword::NestedTableProperties;
}

struct KeywordEntry {
    std::string_view name;
    Keyword keyword;
};

constexpr KeywordEntry keywordList[] = {
    {"fonttbl", Keyword::FontTable},
    {"colortbl", Keyword::ColorTable},
    {"rtf", Keyword::Rtf},
    {"urtf", Keyword::Urtf},
    {"upr", Keyword::Upr},
    {"ud", Keyword::Ud},
    {"field", Keyword::Field},
    {"fldrslt", Keyword::FieldResult},
    {"nesttableprops", Keyword::NestedTableProperties},
    {"ansi", Keyword::Ansi},
    {"mac", Keyword::Mac},
    {"pc", Keyword::Pc},
    {"pca", Keyword::Pca},
    {"ansicpg", Keyword::AnsiCodePage},
    {"deff", Keyword::DefaultFont},
    {"f", Keyword::Font},
    {"fcharset", Keyword::FontCharset},
    {"red", Keyword::Red},
    {"green", Keyword::Green},
    {"blue", Keyword::Blue},
    {"b", Keyword::Bold},
    {"i", Keyword::Italic},
    {"ul", Keyword::Underline},
    {"uld", Keyword::Underline},
    {"uldb", Keyword::Underline},
    {"ulw", Keyword::Underline},
    {"ulwave", Keyword::Underline},
    {"uldash", Keyword::Underline},
    {"uldashd", Keyword::Underline},
    {"uldashdd", Keyword::Underline},
    {"ulhwave", Keyword::Underline},
    {"ulldash", Keyword::Underline},
    {"ulth", Keyword::Underline},
    {"ulthd", Keyword::Underline},
    {"ulthdash", Keyword::Underline},
    {"ulthdashd", Keyword::Underline},
    {"ulthdashdd", Keyword::Underline},
    {"ulthldash", Keyword::Underline},
    {"ululdbwave", Keyword::Underline},
    {"ulnone", Keyword::UnderlineNone},
    {"strike", Keyword::Strike},
    {"striked", Keyword::StrikeDouble},
    {"fs", Keyword::FontSize},
    {"cf", Keyword::Foreground},
    {"cb", Keyword::Background},
    {"chcbpat", Keyword::Background},
    {"highlight", Keyword::Highlight},
    {"plain", Keyword::Plain},
    {"v", Keyword::Hidden},
    {"pard", Keyword::ParagraphDefaults},
    {"intbl", Keyword::InTable},
    {"par", Keyword::Paragraph},
    {"sect", Keyword::Section},
    {"line", Keyword::Line},
    {"page", Keyword::Page},
    {"column", Keyword::Column},
    {"cell", Keyword::Cell},
    {"nestcell", Keyword::NestedCell},
    {"row", Keyword::Row},
    {"nestrow", Keyword::NestedRow},
    {"tab", Keyword::Tab},
    {"emdash", Keyword::EmDash},
    {"endash", Keyword::EnDash},
    {"lquote", Keyword::LeftQuote},
    {"rquote", Keyword::RightQuote},
    {"ldblquote", Keyword::LeftDoubleQuote},
    {"rdblquote", Keyword::RightDoubleQuote},
    {"bullet", Keyword::Bullet},
    {"emspace", Keyword::EmSpace},
    {"enspace", Keyword::EnSpace},
    {"qmspace", Keyword::QuarterEmSpace},
    {"zwj", Keyword::ZeroWidthJoiner},
    {"zwnj", Keyword::ZeroWidthNonJoiner},
    {"ltrmark", Keyword::LeftToRightMark},
    {"rtlmark", Keyword::RightToLeftMark},
    {"u", Keyword::UnicodeCharacter},
    {"uc", Keyword::UnicodeSkip},
    {"bin", Keyword::Binary},
};

// Groups whose content is not body text. Tables we need are parsed separately;
// headers, footers, notes, text boxes and metadata are not lines of the list.
constexpr std::string_view skippedDestinations[] = {
    "stylesheet", "listtable", "listoverridetable", "revtbl", "rsidtbl", "generator",
    "info", "title", "subject", "author", "operator", "keywords", "comment", "doccomm",
    "company", "category", "manager", "hlinkbase", "creatim", "revtim", "printim",
    "buptim", "userprops", "docvar", "template", "filetbl", "pict", "object", "objdata",
    "objclass", "objname", "result", "nonshppict", "shp", "shpinst", "shprslt", "shptxt",
    "shpgrp", "sp", "sn", "sv", "header", "headerl", "headerr", "headerf", "footer",
    "footerl", "footerr", "footerf", "footnote", "annotation", "atnid", "atnauthor",
    "atndate", "atnref", "atntime", "atnicn", "atrfstart", "atrfend", "ftnsep", "ftnsepc",
    "ftncn", "aftnsep", "aftnsepc", "aftncn", "fldinst", "datafield", "formfield",
    "bkmkstart", "bkmkend", "xe", "tc", "tcn", "txe", "rxe", "themedata",
    "colorschememapping", "latentstyles", "datastore", "xmlnstbl", "mmathPr", "pgdsctbl",
    "pnseclvl", "pn", "pntext", "pntxta", "pntxtb", "listtext", "htmltag", "mhtmltag",
    "fontemb", "fontfile", "falt", "panose", "background", "nonesttables", "listpicture",
    "protusertbl", "wgrffmtfilter", "defchp", "defpap", "fchars", "lchars", "picprop",
    "blipuid", "xmlopen", "xmlattrname", "xmlattrvalue", "do", "ffname",
    "ffdeftext", "ffformat", "ffhelptext", "ffstattext", "ffentrymcr", "ffexitmcr",
    "expandedcolortbl", "passwordhash", "leveltext", "levelnumbers",
    "pgptbl", "oleclsid", "mmath",
    // A list table's entries; a corrupt file can leave them outside the table.
    "list", "listname", "listlevel", "listoverride", "lfolevel",
};

class KeywordTable {
public:
    KeywordTable()
    {
        for (const KeywordEntry &entry : keywordList)
            insert(entry.name, entry.keyword);
        for (std::string_view name : skippedDestinations)
            insert(name, Keyword::SkippedDestination);
    }

    static std::uint32_t hash(std::uint32_t state, unsigned char letter)
    {
        return (state ^ letter) * 16777619u;
    }
    static constexpr std::uint32_t initialHash = 2166136261u;

    Keyword find(std::string_view name, std::uint32_t nameHash) const
    {
        for (std::uint32_t slot = nameHash & mask;; slot = (slot + 1) & mask) {
            const Slot &entry = entries_[slot];
            if (entry.name.empty())
                return Keyword::Unknown;
            if (entry.name.size() == name.size() && sameLetters(entry.name.data(), name.data(), name.size()))
                return entry.keyword;
        }
    }

private:
    // Keywords are a few letters long: a plain loop beats a call to memcmp.
    static bool sameLetters(const char *a, const char *b, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i) {
            if (a[i] != b[i])
                return false;
        }
        return true;
    }

    struct Slot {
        std::string_view name;
        Keyword keyword = Keyword::Unknown;
    };
    static constexpr std::uint32_t mask = 1023;

    void insert(std::string_view name, Keyword keyword)
    {
        std::uint32_t h = initialHash;
        for (char letter : name)
            h = hash(h, static_cast<unsigned char>(letter));
        for (std::uint32_t slot = h & mask;; slot = (slot + 1) & mask) {
            if (entries_[slot].name.empty()) {
                entries_[slot] = {name, keyword};
                return;
            }
            if (entries_[slot].name == name)
                return;   // the first meaning listed wins
        }
    }

    Slot entries_[mask + 1];
};

const KeywordTable &keywordTable()
{
    static const KeywordTable table;
    return table;
}

enum class Destination : std::uint8_t { Body, Skip, FontTable, ColorTable };

// Everything a group restores when it ends. Kept small and free of heap members:
// it is copied at every '{'.
struct GroupState {
    Destination destination = Destination::Body;
    Destination uprRestore = Destination::Body;
    bool isUprGroup = false;
    bool insideUpr = false;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool hidden = false;
    bool inTable = false;
    std::uint8_t unicodeSkip = 1;
    int font = -1;   // -1: the \deff font
    int halfPoints = defaultHalfPointsOfRtf;
    int foreground = 0;
    int background = 0;
    int highlight = 0;
};

struct FontEntry {
    QString name;
    int codePage = 0;   // 0: the font names none
};

// The state that decides a run's format, to tell cheaply whether it changed.
struct FormatKey {
    bool bold, italic, underline, strikeOut;
    int font, halfPoints, foreground, background, highlight;

    friend bool operator==(const FormatKey &a, const FormatKey &b)
    {
        return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline
            && a.strikeOut == b.strikeOut && a.font == b.font && a.halfPoints == b.halfPoints
            && a.foreground == b.foreground && a.background == b.background
            && a.highlight == b.highlight;
    }
};

// Byte classes for the inner loops: 0 is an ordinary ASCII byte of text.
enum ByteClass : std::uint8_t { Ordinary = 0, Special = 1 };

struct ByteClasses {
    std::uint8_t body[256];   // what ends a run of ordinary text
    std::uint8_t skipped[256];   // what matters inside a skipped group

    ByteClasses()
    {
        for (int c = 0; c < 256; ++c) {
            body[c] = (c >= 0x80 || c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n'
                       || c == '\t' || c == 0)
                ? Special
                : Ordinary;
            skipped[c] = (c == '\\' || c == '{' || c == '}') ? Special : Ordinary;
        }
    }
};

const ByteClasses &byteClasses()
{
    static const ByteClasses classes;
    return classes;
}

// Copies the ordinary ASCII text at the start of [p, end) to `out` as UTF-16 and
// returns how many bytes it copied. `out` needs room for end - p characters.
qsizetype copyOrdinaryText(const unsigned char *p, const unsigned char *end, QChar *out)
{
    const unsigned char *const start = p;
#ifdef __SSE2__
    // Sixteen bytes at a time: the bytes with the top bit set and the seven that
    // end ordinary text are found with one mask; all sixteen are widened and stored,
    // and only those before the first special byte count.
    const __m128i zero = _mm_setzero_si128();
    const __m128i backslash = _mm_set1_epi8('\\');
    const __m128i openBrace = _mm_set1_epi8('{');
    const __m128i closeBrace = _mm_set1_epi8('}');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i tab = _mm_set1_epi8('\t');
    auto *to = reinterpret_cast<__m128i *>(out);
    while (end - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i special = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, backslash), _mm_cmpeq_epi8(block, openBrace)),
                         _mm_or_si128(_mm_cmpeq_epi8(block, closeBrace), _mm_cmpeq_epi8(block, zero))),
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, carriageReturn), _mm_cmpeq_epi8(block, lineFeed)),
                         _mm_cmpeq_epi8(block, tab)));
        const unsigned mask = unsigned(_mm_movemask_epi8(special) | _mm_movemask_epi8(block));
        _mm_storeu_si128(to, _mm_unpacklo_epi8(block, zero));
        _mm_storeu_si128(to + 1, _mm_unpackhi_epi8(block, zero));
        if (mask != 0)
            return p - start + qsizetype(__builtin_ctz(mask));
        p += 16;
        to += 2;
    }
    out = reinterpret_cast<QChar *>(to);
#endif
    const ByteClasses &classes = byteClasses();
    for (; p != end && classes.body[*p] == Ordinary; ++p)
        *out++ = QChar(char16_t(*p));
    return p - start;
}

bool isLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int clampToInt(std::int64_t value)
{
    return int(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

struct Token {
    enum Type { Word, Symbol, Hex, None } type = None;
    Keyword keyword = Keyword::Unknown;
    bool hasParameter = false;
    std::int64_t parameter = 0;
    unsigned char symbol = 0;
    int hexByte = -1;   // -1: an invalid escape, dropped
};

class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : p_(reinterpret_cast<const unsigned char *>(bytes.data())),
          end_(p_ + bytes.size()),
          ansiPage_(CodePage::forNumber(1252)),
          cachedPage_(ansiPage_)
    {
        // No construct yields more characters than it has bytes, so this is
        // usually the only allocation of the text.
        ensureRoom(bytes.size() + 64);
        pendingBytes_.reserve(64);
    }

    RichDocument run();

private:
    // output
    void ensureRoom(qsizetype count)
    {
        if (Q_UNLIKELY(capacity_ - length_ < count)) {
            capacity_ = std::max(capacity_ * 2, length_ + count + 1024);
            document_.text.resize(capacity_);
            out_ = document_.text.data();
        }
    }
    void beginText()
    {
        if (Q_UNLIKELY(textNeedsPreparation_))
            prepareText();
        paragraphHasContent_ = true;
    }
    void prepareText();
    // In a Symbol font even ASCII bytes are symbols, as their \'hh escapes are.
    void writeSymbols(const unsigned char *from, qsizetype count)
    {
        ensureRoom(count);
        length_ += pageForCurrentFont().decode(
            QByteArrayView(reinterpret_cast<const char *>(from), count), out_ + length_);
    }
    void emitCharacter(char16_t c);
    void emitCodeUnit(char16_t c);
    void flushPendingBytes();
    void flushSurrogate();
    void endParagraph();
    void closeRun();
    void refreshFormat();
    CodePage pageForCurrentFont();
    // A Symbol font's own name is plain text, not symbols.
    CodePage fontNamePage() const
    {
        const CodePage page = CodePage::forCharset(fontCharset_, ansiPage_);
        return page.isSymbol() ? ansiPage_ : page;
    }

    // tokens
    Token readToken();
    void skipBinary(std::int64_t count)
    {
        const std::int64_t available = end_ - p_;
        p_ += std::clamp<std::int64_t>(count, 0, available);
    }
    void execute(const Token &token);
    void executeWord(const Token &token);
    // Words that mean the same in every destination; false for the others.
    bool executeWordAnywhere(const Token &token);
    // Words inside the font and colour tables and skipped groups.
    void executeTableWord(const Token &token);
    void emitSpecial(char16_t c);
    void executeSymbol(unsigned char symbol);
    void executeUnicode(std::int64_t value);
    void openGroup();
    bool closeGroup();   // false when the outermost group ended
    void commitFont();
    void commitColor();
    // `escaped`: the byte came from \'hh or \{ and friends, so it is text and never a
    // table's ';' separator.
    void textByte(unsigned char c, bool escaped);

    GroupState &state() { return stack_.back(); }
    void formatChanged() { formatDirty_ = textNeedsPreparation_ = true; }
    // The code page of text may have changed: find it again before the next text.
    void pageChanged() { pageCacheValid_ = false; textNeedsPreparation_ = true; }

    const unsigned char *p_;
    const unsigned char *end_;

    RichDocument document_;
    QChar *out_ = nullptr;
    qsizetype length_ = 0;
    qsizetype capacity_ = 0;

    std::vector<GroupState> stack_;
    int overflowDepth_ = 0;
    int unicodeSkipRemaining_ = 0;
    bool ignorableNext_ = false;
    bool atGroupStart_ = false;
    bool started_ = false;

    CodePage ansiPage_;
    bool utf8Document_ = false;
    bool headerSeen_ = false;
    int defaultFont_ = 0;
    std::unordered_map<int, FontEntry> fonts_;
    std::vector<std::optional<Rgb>> colors_;

    // the font table entry being read
    bool fontPending_ = false;
    int fontNumber_ = 0;
    int fontCharset_ = -1;
    std::size_t fontDepth_ = 0;
    QByteArray fontNameBytes_;
    QString fontName_;

    // the colour table entry being read
    bool colorHasValue_ = false;
    Rgb color_;

    QByteArray pendingBytes_;
    bool pendingLeadOpen_ = false;   // the last pending byte starts a two-byte character
    QString scratch_;
    bool pageCacheValid_ = false;
    int cachedPageFont_ = 0;
    CodePage cachedPage_;

    char16_t pendingHighSurrogate_ = 0;
    bool pendingCellTab_ = false;
    bool paragraphHasContent_ = false;
    bool textNeedsPreparation_ = true;
    bool symbolText_ = false;   // the current font is a Symbol font
    bool defaultSizeKnown_ = false;
    int defaultHalfPoints_ = defaultHalfPointsOfRtf;
    bool formatDirty_ = true;
    int currentFormat_ = -1;   // -1: the default format
    FormatKey lastFormatKey_{};
    bool lastFormatKeyValid_ = false;
    int openRunFormat_ = -1;
    qsizetype openRunStart_ = 0;
};

void Reader::prepareText()
{
    textNeedsPreparation_ = false;
    // Every change of font or code page asks for preparation, so this stays current.
    symbolText_ = !utf8Document_ && pageForCurrentFont().isSymbol();
    if (!defaultSizeKnown_) {
        defaultSizeKnown_ = true;
        defaultHalfPoints_ = stack_.front().halfPoints;
    }
    if (formatDirty_)
        refreshFormat();
    if (openRunFormat_ != currentFormat_) {
        closeRun();
        openRunFormat_ = currentFormat_;
        openRunStart_ = length_;
    }
    if (pendingHighSurrogate_ != 0)
        flushSurrogate();
    if (pendingCellTab_) {
        pendingCellTab_ = false;
        emitCharacter(u'\t');
    }
}

void Reader::refreshFormat()
{
    formatDirty_ = false;
    const GroupState &s = state();
    const FormatKey key{s.bold, s.italic, s.underline, s.strikeOut, s.font, s.halfPoints,
                        s.foreground, s.background, s.highlight};
    if (lastFormatKeyValid_ && key == lastFormatKey_)
        return;
    lastFormatKey_ = key;
    lastFormatKeyValid_ = true;
    CharacterFormat format;
    format.bold = s.bold;
    format.italic = s.italic;
    format.underline = s.underline;
    format.strikeOut = s.strikeOut;
    const int font = s.font < 0 ? defaultFont_ : s.font;
    if (font != defaultFont_) {
        const auto found = fonts_.find(font);
        const auto standard = fonts_.find(defaultFont_);
        const QString defaultName = standard == fonts_.end() ? QString() : standard->second.name;
        if (found != fonts_.end() && found->second.name != defaultName)
            format.fontFamily = found->second.name;
    }
    if (s.halfPoints != defaultHalfPoints_)
        format.halfPoints = s.halfPoints;
    const auto color = [this](int index) -> std::optional<Rgb> {
        // Index 0 is "auto", whatever the table holds there.
        if (index <= 0 || std::size_t(index) >= colors_.size())
            return std::nullopt;
        return colors_[std::size_t(index)];
    };
    format.foreground = color(s.foreground);
    format.background = s.highlight > 0 ? color(s.highlight) : color(s.background);

    currentFormat_ = format.isDefault() ? -1 : document_.intern(format);
}

void Reader::closeRun()
{
    if (openRunFormat_ >= 0 && length_ > openRunStart_)
        document_.runs.push_back({openRunStart_, length_ - openRunStart_, openRunFormat_});
    openRunFormat_ = -1;
}

void Reader::emitCharacter(char16_t c)
{
    beginText();
    ensureRoom(1);
    out_[length_++] = QChar(c);
}

void Reader::flushSurrogate()
{
    pendingHighSurrogate_ = 0;
    emitCharacter(replacementCharacter);
}

void Reader::emitCodeUnit(char16_t c)
{
    if (pendingHighSurrogate_ != 0) {
        if (QChar::isLowSurrogate(c)) {
            const char16_t high = pendingHighSurrogate_;
            pendingHighSurrogate_ = 0;
            emitCharacter(high);
            ensureRoom(1);
            out_[length_++] = QChar(c);
            return;
        }
        flushSurrogate();
    }
    if (QChar::isHighSurrogate(c)) {
        pendingHighSurrogate_ = c;
        textNeedsPreparation_ = true;
        return;
    }
    if (QChar::isLowSurrogate(c) || c == 0) {
        emitCharacter(replacementCharacter);
        return;
    }
    if (c == u'\r' || c == u'\n' || c == 0x2029) {
        // The model keeps these for its own structure: a paragraph end in disguise.
        endParagraph();
        return;
    }
    emitCharacter(c);
}

CodePage Reader::pageForCurrentFont()
{
    if (utf8Document_)
        return CodePage::forNumber(CodePage::utf8);
    const int font = state().font < 0 ? defaultFont_ : state().font;
    if (pageCacheValid_ && cachedPageFont_ == font)
        return cachedPage_;
    int number = 0;
    const auto found = fonts_.find(font);
    if (found != fonts_.end())
        number = found->second.codePage;
    if (number == 0) {
        const auto standard = fonts_.find(defaultFont_);
        if (standard != fonts_.end())
            number = standard->second.codePage;
    }
    cachedPage_ = number == 0 ? ansiPage_ : CodePage::forNumber(number);
    cachedPageFont_ = font;
    pageCacheValid_ = true;
    return cachedPage_;
}

void Reader::flushPendingBytes()
{
    if (pendingBytes_.isEmpty())
        return;
    const CodePage page = pageForCurrentFont();
    // Decode into a scratch string first: the text may hold characters the
    // model keeps for itself, which go through emitCodeUnit.
    scratch_.resize(0);
    page.decode(pendingBytes_, scratch_);
    pendingBytes_.clear();
    pendingLeadOpen_ = false;
    for (QChar c : std::as_const(scratch_)) {
        const char16_t unit = c.unicode();
        if (unit >= 0x20 && unit != 0x2029 && !QChar::isSurrogate(unit) && pendingHighSurrogate_ == 0) {
            emitCharacter(unit);
        } else if (QChar::isSurrogate(unit)) {
            // UTF-8 yields whole pairs: pass them through together.
            beginText();
            ensureRoom(1);
            out_[length_++] = c;
        } else {
            emitCodeUnit(unit);
        }
    }
}

void Reader::endParagraph()
{
    if (pendingHighSurrogate_ != 0)
        flushSurrogate();
    pendingCellTab_ = false;
    closeRun();
    ensureRoom(1);
    out_[length_++] = QChar(u'\n');
    paragraphHasContent_ = false;
    if (currentFormat_ >= 0)
        textNeedsPreparation_ = true;   // the next paragraph opens its own run
}

void Reader::commitFont()
{
    if (!fontPending_)
        return;
    fontPending_ = false;
    if (!fontNameBytes_.isEmpty()) {
        const CodePage page = fontNamePage();
        page.decode(fontNameBytes_, fontName_);
        fontNameBytes_.clear();
    }
    QString name = fontName_.trimmed();
    fontName_.clear();
    if (name.size() > maximumFontNameLength) {
        // Never half a surrogate pair, and no blank at the cut: the name must read back
        // as it is kept.
        name.truncate(maximumFontNameLength);
        if (name.back().isHighSurrogate())
            name.chop(1);
        name = name.trimmed();
    }
    if (fonts_.size() >= std::size_t(maximumTableEntries) && fonts_.find(fontNumber_) == fonts_.end())
        return;
    FontEntry &entry = fonts_[fontNumber_];
    entry.name = name;
    entry.codePage = fontCharset_ < 0 ? 0 : CodePage::numberForCharset(fontCharset_);
    pageChanged();
    lastFormatKeyValid_ = false;
    formatDirty_ = textNeedsPreparation_ = true;
}

void Reader::commitColor()
{
    if (colors_.size() < std::size_t(maximumTableEntries))
        colors_.push_back(colorHasValue_ ? std::optional<Rgb>(color_) : std::nullopt);
    colorHasValue_ = false;
    color_ = Rgb{};
    lastFormatKeyValid_ = false;
    formatDirty_ = textNeedsPreparation_ = true;
}

void Reader::openGroup()
{
    flushPendingBytes();
    unicodeSkipRemaining_ = 0;
    ignorableNext_ = false;
    atGroupStart_ = true;
    if (!started_) {
        started_ = true;
        stack_.reserve(64);
        stack_.emplace_back();
        return;
    }
    if (stack_.size() >= std::size_t(maximumDepth)) {
        ++overflowDepth_;
        return;
    }
    GroupState next = stack_.back();
    if (next.isUprGroup) {
        // The first part of \upr is the ANSI version; only \ud brings text back.
        next.isUprGroup = false;
        next.insideUpr = true;
        next.uprRestore = next.destination;
        next.destination = Destination::Skip;
    } else {
        next.insideUpr = false;
    }
    stack_.push_back(next);
}

bool Reader::closeGroup()
{
    flushPendingBytes();
    unicodeSkipRemaining_ = 0;
    ignorableNext_ = false;
    atGroupStart_ = false;
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return true;
    }
    const GroupState &closing = stack_.back();
    if (closing.destination == Destination::FontTable && fontPending_ && fontDepth_ >= stack_.size())
        commitFont();
    if (stack_.size() == 1)
        return false;
    stack_.pop_back();
    formatChanged();
    pageChanged();
    return true;
}

Token Reader::readToken()
{
    // p_ is just past the backslash.
    Token token;
    if (p_ == end_)
        return token;
    const unsigned char c = *p_;
    if (!isLetter(c)) {
        ++p_;
        if (c == '\'') {
            token.type = Token::Hex;
            int digits[2] = {-1, -1};
            for (int &digit : digits) {
                if (p_ == end_ || *p_ == '{' || *p_ == '}' || *p_ == '\\')
                    break;
                digit = hexValue(*p_);
                ++p_;
            }
            if (digits[0] >= 0 && digits[1] >= 0)
                token.hexByte = digits[0] << 4 | digits[1];
            return token;
        }
        token.type = Token::Symbol;
        token.symbol = c;
        return token;
    }
    token.type = Token::Word;
    const unsigned char *const wordStart = p_;
    const unsigned char *q = p_;
    const unsigned char *const end = end_;
    std::uint32_t h = KeywordTable::initialHash;
    while (q != end && isLetter(*q)) {
        h = KeywordTable::hash(h, *q);
        ++q;
    }
    const qsizetype wordLength = q - wordStart;
    if (q != end && (isDigit(*q) || (*q == '-' && q + 1 != end && isDigit(q[1])))) {
        const bool negative = *q == '-';
        if (negative)
            ++q;
        std::int64_t value = 0;
        int digits = 0;
        while (q != end && isDigit(*q)) {
            // Only the first ten digits count; longer numbers saturate below.
            if (digits < maximumDigits)
                value = value * 10 + (*q - '0');
            ++digits;
            ++q;
        }
        token.hasParameter = true;
        token.parameter = negative ? -value : value;
    }
    if (q != end && *q == ' ')
        ++q;
    p_ = q;
    if (wordLength <= maximumWordLength) {
        token.keyword = keywordTable().find(
            std::string_view(reinterpret_cast<const char *>(wordStart), std::size_t(wordLength)), h);
    }
    return token;
}

// Every control word, control symbol and escape goes through here, fast or slow, so
// that what a group's first word means is decided in one place.
void Reader::execute(const Token &token)
{
    if (token.type != Token::Hex && Q_UNLIKELY(!pendingBytes_.isEmpty()))
        flushPendingBytes();
    switch (token.type) {
    case Token::Word:
        executeWord(token);
        break;
    case Token::Symbol:
        executeSymbol(token.symbol);
        break;
    case Token::Hex:
        if (token.hexByte > 0)
            textByte(static_cast<unsigned char>(token.hexByte), true);
        break;
    case Token::None:
        break;
    }
    atGroupStart_ = false;
}

void Reader::textByte(unsigned char c, bool escaped)
{
    atGroupStart_ = false;
    GroupState &s = state();
    switch (s.destination) {
    case Destination::Body:
        if (!s.hidden) {
            pendingLeadOpen_ = !pendingLeadOpen_ && pageForCurrentFont().isLeadByte(c);
            pendingBytes_.append(char(c));
        }
        break;
    case Destination::FontTable:
        if (c == ';' && !escaped) {
            commitFont();
        } else if (fontPending_ && fontNameBytes_.size() < maximumFontNameLength * 4) {
            fontNameBytes_.append(char(c));
        }
        break;
    case Destination::ColorTable:
        if (c == ';' && !escaped)
            commitColor();
        break;
    case Destination::Skip:
        break;
    }
}

void Reader::executeSymbol(unsigned char symbol)
{
    if (symbol == '*') {
        // \* marks a destination only as a group's first word; Word-era writers
        // also leave it in front of ordinary words mid-group, where it means nothing.
        ignorableNext_ = atGroupStart_;
        return;
    }
    ignorableNext_ = false;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        if (state().destination == Destination::Body) {
            if (!state().hidden)
                emitCodeUnit(symbol);
        } else {
            textByte(symbol, true);
        }
        return;
    case '\r':
    case '\n':
        executeWord(Token{Token::Word, Keyword::Paragraph, false, 0, 0, -1});
        return;
    case '\t':
        executeWord(Token{Token::Word, Keyword::Tab, false, 0, 0, -1});
        return;
    case '~':
        executeUnicode(0x00A0);
        return;
    case '-':
        executeUnicode(0x00AD);
        return;
    case '_':
        executeUnicode(0x2011);
        return;
    default:
        return;   // \: \| and the unknown ones
    }
}

void Reader::executeUnicode(std::int64_t value)
{
    GroupState &s = state();
    char16_t unit = replacementCharacter;
    if (value < 0 && value >= -32768)
        value += 65536;
    if (value > 0 && value <= 0xFFFF)
        unit = char16_t(value);
    if (s.destination == Destination::Body) {
        if (!s.hidden) {
            flushPendingBytes();
            emitCodeUnit(unit);
        }
    } else if (s.destination == Destination::FontTable && fontPending_) {
        if (!fontNameBytes_.isEmpty()) {
            fontNamePage().decode(fontNameBytes_, fontName_);
            fontNameBytes_.clear();
        }
        if (fontName_.size() < maximumFontNameLength)
            fontName_.append(QChar(unit));
    }
}

bool Reader::executeWordAnywhere(const Token &token)
{
    GroupState &s = state();
    switch (token.keyword) {
    case Keyword::Binary:
        skipBinary(token.hasParameter ? token.parameter : 0);
        return true;
    case Keyword::UnicodeSkip:
        s.unicodeSkip = std::uint8_t(std::clamp(clampToInt(token.parameter), 0, maximumUnicodeSkip));
        return true;
    case Keyword::UnicodeCharacter:
        executeUnicode(token.hasParameter ? token.parameter : std::numeric_limits<std::int64_t>::min());
        unicodeSkipRemaining_ = s.unicodeSkip;
        return true;
    case Keyword::Ud:
        if (s.insideUpr)
            s.destination = s.uprRestore;
        return true;
    default:
        return false;
    }
}

void Reader::executeTableWord(const Token &token)
{
    if (executeWordAnywhere(token))
        return;
    const Keyword keyword = token.keyword;
    GroupState &s = state();
    const int parameter = clampToInt(token.parameter);
    switch (s.destination) {
    case Destination::Skip:
    case Destination::Body:
        return;
    case Destination::FontTable:
        if (keyword == Keyword::Font) {
            if (fontPending_ && (!fontNameBytes_.isEmpty() || !fontName_.isEmpty()))
                commitFont();
            fontPending_ = true;
            fontNumber_ = parameter;
            fontCharset_ = -1;
            fontDepth_ = stack_.size();
            fontNameBytes_.clear();
            fontName_.clear();
        } else if (keyword == Keyword::FontCharset && fontPending_) {
            fontCharset_ = parameter;
        } else if (keyword == Keyword::Upr) {
            s.isUprGroup = true;
        } else if (keyword == Keyword::SkippedDestination) {
            s.destination = Destination::Skip;
        }
        return;
    case Destination::ColorTable:
        if (keyword == Keyword::Red || keyword == Keyword::Green || keyword == Keyword::Blue) {
            const auto component = std::uint8_t(std::clamp(parameter, 0, 255));
            colorHasValue_ = true;
            if (keyword == Keyword::Red)
                color_.red = component;
            else if (keyword == Keyword::Green)
                color_.green = component;
            else
                color_.blue = component;
        }
        return;
    }
}

void Reader::emitSpecial(char16_t c)
{
    if (state().hidden)
        return;
    if (pendingHighSurrogate_ != 0)
        flushSurrogate();
    emitCharacter(c);
}

// Pending bytes are already decoded (execute() did it), so a word that changes the
// font or the code page cannot change how earlier text reads.
void Reader::executeWord(const Token &token)
{
    const Keyword keyword = token.keyword;
    const bool ignorable = ignorableNext_;
    ignorableNext_ = false;
    GroupState &s = state();

    if (Q_UNLIKELY(ignorable) && !isDestination(keyword)) {
        s.destination = Destination::Skip;
        return;
    }
    if (s.destination != Destination::Body) {
        executeTableWord(token);
        return;
    }
    const int parameter = clampToInt(token.parameter);
    // A toggle without a parameter, or with one other than 0, turns the property on.
    const auto on = [&token] { return !token.hasParameter || token.parameter != 0; };

    switch (keyword) {
    case Keyword::Paragraph:
        // A paragraph inside a table cell stays on the row's line.
        if (s.inTable)
            emitCharacter(lineSeparator);
        else
            endParagraph();
        return;
    case Keyword::Binary:
    case Keyword::UnicodeSkip:
    case Keyword::UnicodeCharacter:
    case Keyword::Ud:
        executeWordAnywhere(token);
        return;
    case Keyword::Unknown:
    case Keyword::Field:
    case Keyword::FieldResult:
    case Keyword::NestedTableProperties:
    case Keyword::Red:
    case Keyword::Green:
    case Keyword::Blue:
    case Keyword::FontCharset:
        return;
    case Keyword::SkippedDestination:
        s.destination = Destination::Skip;
        return;
    case Keyword::FontTable:
        s.destination = Destination::FontTable;
        fontPending_ = false;
        return;
    case Keyword::ColorTable:
        s.destination = Destination::ColorTable;
        colors_.clear();
        colorHasValue_ = false;
        color_ = Rgb{};
        lastFormatKeyValid_ = false;
        formatChanged();
        return;
    case Keyword::Rtf:
    case Keyword::Urtf:
        // Only the document's own header counts; an embedded {\rtf1 is a plain group.
        if (!headerSeen_ && stack_.size() == 1) {
            headerSeen_ = true;
            if (keyword == Keyword::Urtf) {
                utf8Document_ = true;
                pageChanged();
            }
        }
        return;
    case Keyword::Upr:
        s.isUprGroup = true;
        return;
    case Keyword::Ansi:
        ansiPage_ = CodePage::forNumber(1252);
        pageChanged();
        return;
    case Keyword::Mac:
        ansiPage_ = CodePage::forNumber(10000);
        pageChanged();
        return;
    case Keyword::Pc:
        ansiPage_ = CodePage::forNumber(437);
        pageChanged();
        return;
    case Keyword::Pca:
        ansiPage_ = CodePage::forNumber(850);
        pageChanged();
        return;
    case Keyword::AnsiCodePage:
        ansiPage_ = CodePage::forNumber(parameter);
        pageChanged();
        return;
    case Keyword::DefaultFont:
        defaultFont_ = parameter;
        pageChanged();
        lastFormatKeyValid_ = false;
        formatChanged();
        return;
    case Keyword::Font:
        s.font = parameter;
        formatChanged();
        return;
    case Keyword::Bold:
        s.bold = on();
        formatChanged();
        return;
    case Keyword::Italic:
        s.italic = on();
        formatChanged();
        return;
    case Keyword::Underline:
        s.underline = on();
        formatChanged();
        return;
    case Keyword::UnderlineNone:
        s.underline = false;
        formatChanged();
        return;
    case Keyword::Strike:
    case Keyword::StrikeDouble:
        s.strikeOut = on();
        formatChanged();
        return;
    case Keyword::FontSize:
        s.halfPoints = token.hasParameter && parameter > 0 ? parameter : defaultHalfPointsOfRtf;
        formatChanged();
        return;
    case Keyword::Foreground:
        s.foreground = parameter;
        formatChanged();
        return;
    case Keyword::Background:
        s.background = parameter;
        formatChanged();
        return;
    case Keyword::Highlight:
        s.highlight = parameter;
        formatChanged();
        return;
    case Keyword::Plain:
        s.bold = s.italic = s.underline = s.strikeOut = s.hidden = false;
        s.font = -1;
        s.halfPoints = defaultHalfPointsOfRtf;
        s.foreground = s.background = s.highlight = 0;
        formatChanged();
        return;
    case Keyword::Hidden:
        s.hidden = on();
        return;
    case Keyword::ParagraphDefaults:
        s.inTable = false;
        return;
    case Keyword::InTable:
        s.inTable = true;
        return;
    case Keyword::Row:
        // Every row restates \intbl; text after the table must not join it.
        s.inTable = false;
        endParagraph();
        return;
    case Keyword::Section:
        endParagraph();
        return;
    case Keyword::NestedRow:
        // A row of a table inside a cell: the outer row keeps one line.
        pendingCellTab_ = false;
        emitCharacter(lineSeparator);
        return;
    case Keyword::Cell:
    case Keyword::NestedCell:
        if (pendingCellTab_) {
            pendingCellTab_ = false;
            emitCharacter(u'\t');
        }
        pendingCellTab_ = true;
        textNeedsPreparation_ = true;
        return;
    case Keyword::Line:
    case Keyword::Page:
    case Keyword::Column:
        if (!s.hidden)
            emitCharacter(lineSeparator);
        return;
    case Keyword::Tab: emitSpecial(u'\t'); return;
    case Keyword::EmDash: emitSpecial(0x2014); return;
    case Keyword::EnDash: emitSpecial(0x2013); return;
    case Keyword::LeftQuote: emitSpecial(0x2018); return;
    case Keyword::RightQuote: emitSpecial(0x2019); return;
    case Keyword::LeftDoubleQuote: emitSpecial(0x201C); return;
    case Keyword::RightDoubleQuote: emitSpecial(0x201D); return;
    case Keyword::Bullet: emitSpecial(0x2022); return;
    case Keyword::EmSpace: emitSpecial(0x2003); return;
    case Keyword::EnSpace: emitSpecial(0x2002); return;
    case Keyword::QuarterEmSpace: emitSpecial(0x2005); return;
    case Keyword::ZeroWidthJoiner: emitSpecial(0x200D); return;
    case Keyword::ZeroWidthNonJoiner: emitSpecial(0x200C); return;
    case Keyword::LeftToRightMark: emitSpecial(0x200E); return;
    case Keyword::RightToLeftMark: emitSpecial(0x200F); return;
    }
}

RichDocument Reader::run()
{
    const ByteClasses &classes = byteClasses();
    while (p_ != end_) {
        const unsigned char c = *p_;
        if (!started_) {
            ++p_;
            if (c == '{')
                openGroup();
            continue;
        }

        if (Q_UNLIKELY(unicodeSkipRemaining_ > 0)) {
            // The fallback after \uN: each byte, escape or control word is one
            // character, CR and LF are not characters, and a brace ends the skipping.
            if (c == '{' || c == '}') {
                unicodeSkipRemaining_ = 0;
                continue;
            }
            ++p_;
            if (c == '\r' || c == '\n' || c == 0)
                continue;
            --unicodeSkipRemaining_;
            if (c == '\\') {
                const Token token = readToken();
                if (token.type == Token::Word && token.keyword == Keyword::Binary)
                    skipBinary(token.parameter);
            }
            continue;
        }

        const GroupState &s = stack_.back();
        if (s.destination == Destination::Body && !s.hidden) {
            if (classes.body[c] == Ordinary) {
                if (Q_UNLIKELY(!pendingBytes_.isEmpty())) {
                    // A double-byte character's trail byte may be plain ASCII.
                    if (pendingLeadOpen_) {
                        pendingBytes_.append(char(c));
                        pendingLeadOpen_ = false;
                        ++p_;
                        continue;
                    }
                    flushPendingBytes();
                }
                atGroupStart_ = false;
                beginText();
                if (Q_UNLIKELY(symbolText_)) {
                    const unsigned char *start = p_;
                    const unsigned char *q = p_ + 1;
                    while (q != end_ && classes.body[*q] == Ordinary)
                        ++q;
                    p_ = q;
                    writeSymbols(start, q - start);
                } else {
                    ensureRoom(end_ - p_);
                    const qsizetype count = copyOrdinaryText(p_, end_, out_ + length_);
                    p_ += count;
                    length_ += count;
                }
                continue;
            }
        } else if (classes.skipped[c] == Ordinary && s.destination == Destination::Skip) {
            const unsigned char *q = p_ + 1;
            while (q != end_ && classes.skipped[*q] == Ordinary)
                ++q;
            p_ = q;
            continue;
        }

        ++p_;
        switch (c) {
        case '{':
            openGroup();
            break;
        case '}':
            if (!closeGroup()) {
                p_ = end_;
            }
            break;
        case '\\':
            execute(readToken());
            break;
        case '\r':
        case '\n':
        case 0:
            break;
        case '\t':
            execute(Token{Token::Word, Keyword::Tab, false, 0, 0, -1});
            break;
        default:
            if (c >= 0x80 && !(s.destination == Destination::Body && s.hidden)) {
                textByte(c, false);
            } else if (s.destination != Destination::Body) {
                textByte(c, false);
            }
            break;
        }
    }

    flushPendingBytes();
    if (pendingHighSurrogate_ != 0)
        flushSurrogate();
    if (paragraphHasContent_)
        endParagraph();
    closeRun();
    document_.text.truncate(length_);
    // Give back the room that skipped groups and markup left unused, but only
    // when it is worth a copy.
    if (document_.text.capacity() - length_ > length_ + 65536)
        document_.text.squeeze();
    return std::move(document_);
}

}   // namespace

bool LooksLikeRtf(QByteArrayView bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size()
           && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'
               || bytes[i] == '\f' || bytes[i] == '\v'))
        ++i;
    const QByteArrayView rest = bytes.sliced(i);
    return rest.startsWith("{\\rtf") || rest.startsWith("{\\urtf");
}

RichDocument ReadRtf(QByteArrayView bytes)
{
    Reader reader(bytes);
    return reader.run();
}

}   // namespace codec
