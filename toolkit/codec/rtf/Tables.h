#pragma once

#include "codec/CodePages.h"
#include "codec/RichDocument.h"
#include "codec/rtf/Keywords.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <optional>
#include <unordered_map>
#include <vector>

namespace codec::rtf {

constexpr int maximumTableEntries = 32767;

// \fonttbl: each font's name and the code page its \fcharsetN names.
class FontTable {
public:
    // \fN in the table starts an entry, at group depth `depth`; the entry before it
    // is kept if it has a name. True when that stored an entry.
    bool begin(int number, std::size_t depth, const CodePage &ansi);
    void setCharset(int charset)
    {
        if (pending_)
            charset_ = charset;
    }
    // A byte of the name, in the font's own code page.
    void addNameByte(unsigned char c);
    // A character of the name from \uN.
    void addNameUnit(char16_t unit, const CodePage &ansi);
    // Ends the entry (at ';' or at the end of its group). True when it was stored:
    // the code page and the family of text may then differ.
    bool commit(const CodePage &ansi);
    // \fonttbl again: an entry left open before it is not continued.
    void restart() { pending_ = false; }

    bool pending() const { return pending_; }
    std::size_t depth() const { return depth_; }

    // The code page number text in `font` reads in (the default font's where the
    // font names none), 0 where neither names one.
    int codePageOf(int font, int defaultFont) const;
    // The family a run in `font` shows, empty where it is the default font's.
    QString familyOf(int font, int defaultFont) const;

private:
    struct Entry {
        QString name;
        int codePage = 0;   // 0: the font names none
    };
    // The one place the bytes of a name are decoded.
    void decodeName(const CodePage &ansi);

    std::unordered_map<int, Entry> fonts_;
    bool pending_ = false;
    int number_ = 0;
    int charset_ = -1;
    std::size_t depth_ = 0;
    QByteArray nameBytes_;
    QString name_;
};

// \colortbl: entries separated by ';', index 0 the first.
class ColorTable {
public:
    void restart()
    {
        colors_.clear();
        hasValue_ = false;
        color_ = Rgb {};
    }
    // \redN, \greenN or \blueN.
    void setComponent(Keyword keyword, int value);
    void commit();
    // The colour at `index`; none for index 0, "automatic" whatever the table holds there.
    std::optional<Rgb> at(int index) const
    {
        if (index <= 0 || std::size_t(index) >= colors_.size())
            return std::nullopt;
        return colors_[std::size_t(index)];
    }

private:
    std::vector<std::optional<Rgb>> colors_;
    bool hasValue_ = false;
    Rgb color_;
};

}   // namespace codec::rtf
