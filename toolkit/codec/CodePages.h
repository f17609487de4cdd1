#pragma once

#include <QByteArrayView>
#include <QString>

namespace codec {

namespace tables {
struct SingleBytePage;
struct DoubleBytePage;
}   // namespace tables

// Windows and Mac code pages that Rich Text Format documents name, decoded without
// the operating system's help so that every platform reads a file alike.
class CodePage {
public:
    // Windows' number for the Symbol "code page": byte b reads as U+F000 + b, as Word does.
    static constexpr int symbol = 42;
    static constexpr int utf8 = 65001;

    // The code page for a number such as 1250 or 10000; code pages we do not know
    // read as 1252.
    static CodePage forNumber(int number);
    // The code page for an RTF \fcharsetN value; `fallback` where the value names none.
    static CodePage forCharset(int charset, CodePage fallback);
    // The code page a \fcharsetN value names, or 0 where it names none (1, the
    // "default" charset, and values we do not know).
    static int numberForCharset(int charset);

    int number() const { return number_; }
    bool isSymbol() const { return kind_ == Kind::Symbol; }
    // True for a byte that starts a two-byte character in a double-byte page.
    bool isLeadByte(unsigned char byte) const;
    // Appends the decoded bytes; a broken multi-byte sequence gives U+FFFD.
    void decode(QByteArrayView bytes, QString &out) const;
    // Writes the decoded bytes to `out`, which must have room for bytes.size()
    // characters (no page yields more characters than bytes), and returns how many
    // it wrote.
    qsizetype decode(QByteArrayView bytes, QChar *out) const;

    friend bool operator==(const CodePage &a, const CodePage &b) { return a.number_ == b.number_; }
    friend bool operator!=(const CodePage &a, const CodePage &b) { return !(a == b); }

private:
    enum class Kind { SingleByte, DoubleByte, Utf8, Symbol };
    CodePage(
        int number, Kind kind, const tables::SingleBytePage *single, const tables::DoubleBytePage *doubleByte)
        : number_(number)
        , kind_(kind)
        , single_(single)
        , double_(doubleByte)
    {
    }

    int number_;
    Kind kind_;
    const tables::SingleBytePage *single_;
    const tables::DoubleBytePage *double_;
};

}   // namespace codec
