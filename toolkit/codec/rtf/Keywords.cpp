#include "codec/rtf/Keywords.h"

namespace codec::rtf {

namespace {

// Groups whose content is not body text. Tables we need are parsed separately;
// headers, footers, notes, text boxes and metadata are not lines of the list.
constexpr std::string_view skippedDestinations[] = {
    "stylesheet",
    "listtable",
    "listoverridetable",
    "revtbl",
    "rsidtbl",
    "generator",
    "info",
    "title",
    "subject",
    "author",
    "operator",
    "keywords",
    "comment",
    "doccomm",
    "company",
    "category",
    "manager",
    "hlinkbase",
    "creatim",
    "revtim",
    "printim",
    "buptim",
    "userprops",
    "docvar",
    "template",
    "filetbl",
    "pict",
    "object",
    "objdata",
    "objclass",
    "objname",
    "result",
    "nonshppict",
    "shp",
    "shpinst",
    "shprslt",
    "shptxt",
    "shpgrp",
    "sp",
    "sn",
    "sv",
    "header",
    "headerl",
    "headerr",
    "headerf",
    "footer",
    "footerl",
    "footerr",
    "footerf",
    "footnote",
    "annotation",
    "atnid",
    "atnauthor",
    "atndate",
    "atnref",
    "atntime",
    "atnicn",
    "atrfstart",
    "atrfend",
    "ftnsep",
    "ftnsepc",
    "ftncn",
    "aftnsep",
    "aftnsepc",
    "aftncn",
    "fldinst",
    "datafield",
    "formfield",
    "bkmkstart",
    "bkmkend",
    "xe",
    "tc",
    "tcn",
    "txe",
    "rxe",
    "themedata",
    "colorschememapping",
    "latentstyles",
    "datastore",
    "xmlnstbl",
    "mmathPr",
    "pgdsctbl",
    "pnseclvl",
    "pn",
    "pntext",
    "pntxta",
    "pntxtb",
    "listtext",
    "htmltag",
    "mhtmltag",
    "fontemb",
    "fontfile",
    "falt",
    "panose",
    "background",
    "nonesttables",
    "listpicture",
    "protusertbl",
    "wgrffmtfilter",
    "defchp",
    "defpap",
    "fchars",
    "lchars",
    "picprop",
    "blipuid",
    "xmlopen",
    "xmlattrname",
    "xmlattrvalue",
    "do",
    "ffname",
    "ffdeftext",
    "ffformat",
    "ffhelptext",
    "ffstattext",
    "ffentrymcr",
    "ffexitmcr",
    "expandedcolortbl",
    "passwordhash",
    "leveltext",
    "levelnumbers",
    "pgptbl",
    "oleclsid",
    "mmath",
    // A list table's entries; a corrupt file can leave them outside the table.
    "list",
    "listname",
    "listlevel",
    "listoverride",
    "lfolevel",
};

}   // namespace

bool IsDestination(Keyword keyword)
{
    return keyword >= Keyword::SkippedDestination && keyword <= Keyword::NestedTableProperties;
}

char16_t CharacterOf(Keyword keyword)
{
    switch (keyword) {
    case Keyword::Tab:
        return u'\t';
    case Keyword::EmDash:
        return 0x2014;
    case Keyword::EnDash:
        return 0x2013;
    case Keyword::LeftQuote:
        return 0x2018;
    case Keyword::RightQuote:
        return 0x2019;
    case Keyword::LeftDoubleQuote:
        return 0x201C;
    case Keyword::RightDoubleQuote:
        return 0x201D;
    case Keyword::Bullet:
        return 0x2022;
    case Keyword::EmSpace:
        return 0x2003;
    case Keyword::EnSpace:
        return 0x2002;
    case Keyword::QuarterEmSpace:
        return 0x2005;
    case Keyword::ZeroWidthJoiner:
        return 0x200D;
    case Keyword::ZeroWidthNonJoiner:
        return 0x200C;
    case Keyword::LeftToRightMark:
        return 0x200E;
    case Keyword::RightToLeftMark:
        return 0x200F;
    default:
        return 0;
    }
}

char16_t CharacterOfSymbol(unsigned char symbol)
{
    switch (symbol) {
    case '~':
        return 0x00A0;
    case '-':
        return 0x00AD;
    case '_':
        return 0x2011;
    default:
        return 0;
    }
}

KeywordTable::KeywordTable()
{
    for (const KeywordEntry &entry : keywordList)
        insert(entry.name, entry.keyword);
    for (std::string_view name : skippedDestinations)
        insert(name, Keyword::SkippedDestination);
}

void KeywordTable::insert(std::string_view name, Keyword keyword)
{
    std::uint32_t h = initialHash;
    for (char letter : name)
        h = hash(h, static_cast<unsigned char>(letter));
    for (std::uint32_t slot = h & mask;; slot = (slot + 1) & mask) {
        if (entries_[slot].name.empty()) {
            entries_[slot] = { name, keyword };
            return;
        }
        if (entries_[slot].name == name)
            return;   // the first meaning listed wins
    }
}

const KeywordTable &Keywords()
{
    static const KeywordTable table;
    return table;
}

}   // namespace codec::rtf
