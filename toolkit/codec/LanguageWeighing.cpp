#include "codec/LanguageWeighing.h"

#include "codec/CodePages.h"

namespace codec {

namespace {

enum Trait : quint32 {
    Letter = 0x01,
    Ours = 0x02,   // a letter of Romanian, Hungarian or German
    Upper = 0x04,
    Lower = 0x08,
    Vowel = 0x10,
    Control = 0x20,   // never in a phone book; what a page has for a byte it leaves undefined
    Space = 0x40,
    InsideWords = 0x80,   // a sign that may stand inside a word: an apostrophe, a hyphen
    // Where words hold a letter of ours besides inside them: at their start, at their
    // end, alone (an initial, Hungarian "ő").
    AtStart = 0x100,
    AtEnd = 0x200,
    Alone = 0x400,
    NeverAfterVowel = 0x800,   // î and â follow no vowel
    NoVowelAfterInside = 0x1000,   // inside a word î stands before no vowel
    VowelBefore = 0x2000,   // ß follows a vowel
    OtherScript = 0x4000,   // a letter of Greek, Cyrillic and the scripts after them
    Symbol = 0x8000,
    // A piece of a DOS table's frame, and its arms that reach the piece beside it.
    BoxPiece = 0x10000,
    LeftArm = 0x20000,
    RightArm = 0x40000,
};

// Which of the box-drawing characters U+2500 to U+257F reach left and right, bit by bit:
// those whose Unicode names say LEFT or HORIZONTAL, and RIGHT or HORIZONTAL.
constexpr quint64 leftArms[2] = { 0xfffffff00f0f0333ull, 0x5116dffe38e13fffull };
constexpr quint64 rightArms[2] = { 0xfffff00ff0f0f333ull, 0x54473ff1c71d3fffull };

// Where the Latin letters and phonetic signs end. No single-byte page reads two letters
// beyond them in a row, so two such letters side by side are a name in UTF-8 that these
// languages do not write, not a sign of a wrong reading.
constexpr char16_t firstOtherScript = 0x370;

// The letters beyond ASCII of Romanian (s and t in both forms), Hungarian and German,
// and where words hold them.
struct OurLetter {
    char16_t lower;
    char16_t upper;
    quint16 lowerPlaces;
    quint16 upperPlaces;
};
constexpr quint16 anywhere = AtStart | AtEnd;
constexpr OurLetter ourLetters[] = {
    { u'ă', u'Ă', AtEnd, AtEnd },
    { u'â', u'Â', 0, 0 },   // only inside a word
    { u'î', u'Î', anywhere, anywhere },
    { u'ș', u'Ș', anywhere, anywhere | Alone },
    { u'ş', u'Ş', anywhere, anywhere | Alone },
    { u'ț', u'Ț', anywhere, anywhere | Alone },
    { u'ţ', u'Ţ', anywhere, anywhere | Alone },
    { u'á', u'Á', anywhere, anywhere | Alone },
    { u'é', u'É', anywhere, anywhere | Alone },
    { u'í', u'Í', anywhere, anywhere | Alone },
    { u'ó', u'Ó', anywhere, anywhere | Alone },
    { u'ö', u'Ö', anywhere, anywhere | Alone },
    { u'ő', u'Ő', anywhere | Alone, anywhere | Alone },
    { u'ú', u'Ú', anywhere, anywhere | Alone },
    { u'ü', u'Ü', anywhere, anywhere | Alone },
    { u'ű', u'Ű', anywhere, anywhere | Alone },
    { u'ä', u'Ä', anywhere, anywhere | Alone },
    { u'ß', u'ẞ', AtEnd, AtEnd },
};
constexpr char16_t vowels[] = u"aeiouAEIOUăĂâÂîÎáÁéÉíÍóÓöÖőŐúÚüÜűŰäÄ";

bool In(const char16_t *set, char16_t c)
{
    for (; *set; ++set) {
        if (*set == c)
            return true;
    }
    return false;
}

quint32 ComputeTraits(char16_t c)
{
    const QChar ch(c);
    const QChar::Category category = ch.category();
    if (category == QChar::Other_Control)
        return Control;
    if (category >= QChar::Separator_Space && category <= QChar::Separator_Paragraph)
        return Space;
    if (category == QChar::Punctuation_Connector || category == QChar::Punctuation_Dash || c == 0x2018
        || c == 0x2019 || c == 0x02BC || c == 0xAD)
        return InsideWords;
    if (c >= 0x2500 && c < 0x2580) {
        const int piece = c - 0x2500;
        quint32 traits = Symbol | BoxPiece;
        if (leftArms[piece / 64] >> (piece % 64) & 1)
            traits |= LeftArm;
        if (rightArms[piece / 64] >> (piece % 64) & 1)
            traits |= RightArm;
        return traits;
    }
    if (category >= QChar::Symbol_Math && category <= QChar::Symbol_Other)
        return Symbol;
    // The ordinal signs and the micro sign are letters to Unicode, signs to a reader.
    if (!ch.isLetter() || c == 0xAA || c == 0xBA || c == 0xB5)
        return 0;
    quint32 traits = Letter;
    if (c >= firstOtherScript)
        traits |= OtherScript;
    if (ch.isUpper())
        traits |= Upper;
    if (ch.isLower())
        traits |= Lower;
    if (In(vowels, c))
        traits |= Vowel;
    for (const OurLetter &letter : ourLetters) {
        if (c == letter.lower || c == letter.upper) {
            traits |= Ours | (c == letter.lower ? letter.lowerPlaces : letter.upperPlaces);
            if (letter.lower == u'î' || letter.lower == u'â')
                traits |= NeverAfterVowel;
            if (letter.lower == u'î')
                traits |= NoVowelAfterInside;
            if (letter.lower == u'ß')
                traits |= VowelBefore;
        }
    }
    return traits;
}

constexpr char16_t tabledCharacters = ReadingEvidence::singleCharacters;   // ASCII and the Latin letters

struct CharacterTables {
    quint32 traits[tabledCharacters];
    // The upper half of each single-byte reading: a byte's character and its traits.
    char16_t pageCharacter[pageReadings.size()][128];
    quint32 pageTraits[pageReadings.size()][128];

    CharacterTables()
    {
        for (char16_t c = 0; c < tabledCharacters; ++c)
            traits[c] = ComputeTraits(c);
        for (std::size_t page = 0; page < pageReadings.size(); ++page) {
            const CodePage codePage = CodePage::forNumber(CodePageNumber(pageReadings[page]));
            for (int b = 0x80; b < 0x100; ++b) {
                const char byte = char(b);
                QChar character;
                codePage.decode(QByteArrayView(&byte, 1), &character);
                pageCharacter[page][b - 0x80] = character.unicode();
                pageTraits[page][b - 0x80] = ComputeTraits(character.unicode());
            }
        }
    }
};

const CharacterTables &characterTables()
{
    static const CharacterTables built;
    return built;
}

quint32 Traits(const CharacterTables &t, char16_t c)
{
    return c < tabledCharacters ? t.traits[c] : ComputeTraits(c);
}

// What one character beyond ASCII says for the reading it is in.
int Weigh(
    char16_t c, quint32 traits, char16_t before, quint32 beforeTraits, char16_t after, quint32 afterTraits)
{
    if (traits & Control)
        return -10;
    const bool letterBefore = beforeTraits & Letter;
    const bool letterAfter = afterTraits & Letter;
    if (!(traits & Letter)) {
        if (traits & (Space | InsideWords))
            return 0;
        if (letterBefore && letterAfter)
            return -4;
        int weight = (traits & Symbol) && (letterBefore || letterAfter) ? -1 : 0;
        // The pieces of a table's frame join: an arm reaches another piece.
        if ((traits & LeftArm) && !(beforeTraits & BoxPiece))
            weight -= 2;
        if ((traits & RightArm) && !(afterTraits & BoxPiece))
            weight -= 2;
        return weight;
    }
    const quint32 place = letterBefore && letterAfter ? quint32(0xFFFFFFFF)
        : letterAfter                                 ? quint32(AtStart)
        : letterBefore                                ? quint32(AtEnd)
                                                      : quint32(Alone);
    if ((traits & Ours) && !(traits & place))
        return -2;
    int weight = (traits & Ours)                                                 ? 2
        : (traits & OtherScript) && ((beforeTraits | afterTraits) & OtherScript) ? 0
                                                                                 : -3;
    // No word of these languages doubles such a letter; a DOS table's borders do.
    if (c == before || c == after)
        return weight - 3;
    // Words are in capitals, in lowercase, or begin with one capital.
    if ((traits & Lower) && (afterTraits & Upper))
        weight -= 4;
    else if ((traits & Upper) && (beforeTraits & Lower))
        weight -= 4;
    else if ((traits & Upper) && (beforeTraits & Upper) && (afterTraits & Lower))
        weight -= 4;
    else if ((letterBefore || letterAfter)
        && ((traits & Upper) || ((traits & Lower) && !(beforeTraits & Upper))))
        weight += 1;
    if ((traits & NeverAfterVowel) && (beforeTraits & Vowel))
        weight -= 2;
    if ((traits & NoVowelAfterInside) && letterBefore && (afterTraits & Vowel))
        weight -= 2;
    if ((traits & VowelBefore) && (beforeTraits & Vowel))
        weight += 1;
    return weight;
}

// Weighs the characters of one reading of a run as they come, each once its
// neighbours are known.
class Scale {
public:
    Scale(const CharacterTables &t, char16_t before)
        : tables_(t)
        , previous_(before)
        , previousTraits_(Traits(t, before))
        , letterBefore_(previousTraits_ & Letter)
    {
    }

    void add(char16_t c, quint32 traits)
    {
        if ((traits & (Letter | OtherScript)) == Letter)
            ++latinLetters_;
        if (pending_) {
            weight_ += Weigh(current_, currentTraits_, previous_, previousTraits_, c, traits);
            previous_ = current_;
            previousTraits_ = currentTraits_;
        }
        current_ = c;
        currentTraits_ = traits;
        pending_ = true;
    }
    void add(char16_t c) { add(c, Traits(tables_, c)); }

    qint64 end(char16_t after)
    {
        const quint32 afterTraits = Traits(tables_, after);
        if (pending_)
            weight_ += Weigh(current_, currentTraits_, previous_, previousTraits_, after, afterTraits);
        // A word of these languages made of such letters alone is rare: "ő" is one letter.
        if (!letterBefore_ && !(afterTraits & Letter) && latinLetters_ >= 2)
            weight_ -= 2;
        return weight_;
    }

private:
    const CharacterTables &tables_;
    char16_t previous_;
    quint32 previousTraits_;
    char16_t current_ = 0;
    quint32 currentTraits_ = 0;
    bool pending_ = false;
    bool letterBefore_;
    int latinLetters_ = 0;
    qint64 weight_ = 0;
};

// The bytes of one code point in UTF-8; returns how many.
int EncodeUtf8(char32_t c, unsigned char *out)
{
    if (c < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<unsigned char>(0xF0 | (c >> 18));
    out[1] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    return 4;
}

}   // namespace

// A run of characters decoded as UTF-8, in every reading: as it is, and as each page
// reads the bytes that spell it.
void WeighUtf8Run(const QChar *run, qsizetype length, char16_t before, char16_t after, qint64 *weights)
{
    const CharacterTables &t = characterTables();
    Scale utf8(t, before);
    for (qsizetype i = 0; i < length; ++i)
        utf8.add(run[i].unicode());
    weights[0] += utf8.end(after);
    for (std::size_t page = 0; page < pageReadings.size(); ++page) {
        Scale scale(t, before);
        for (qsizetype i = 0; i < length; ++i) {
            char32_t c = run[i].unicode();
            if (run[i].isHighSurrogate() && i + 1 < length && run[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(run[i], run[i + 1]);
                ++i;
            }
            unsigned char bytes[4];
            const int count = EncodeUtf8(c, bytes);
            for (int b = 0; b < count; ++b)
                scale.add(t.pageCharacter[page][bytes[b] - 0x80], t.pageTraits[page][bytes[b] - 0x80]);
        }
        weights[1 + page] += scale.end(after);
    }
}

void WeighByteRun(
    const unsigned char *run, qsizetype length, char16_t before, char16_t after, qint64 *weights)
{
    const CharacterTables &t = characterTables();
    for (std::size_t page = 0; page < pageReadings.size(); ++page) {
        Scale scale(t, before);
        for (qsizetype i = 0; i < length; ++i)
            scale.add(t.pageCharacter[page][run[i] - 0x80], t.pageTraits[page][run[i] - 0x80]);
        weights[1 + page] += scale.end(after);
    }
}

}   // namespace codec
