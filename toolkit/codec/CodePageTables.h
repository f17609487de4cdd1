#pragma once

// Tables that tools/generate_codepages.py writes into CodePageTables.cpp.
namespace codec::tables {

// Bytes 0x80-0xFF; 0x00-0x7F are ASCII in every page we carry.
struct SingleBytePage {
    int number;
    const char16_t *upperHalf;
};

// `single` gives a byte's character, 0 for a lead byte. `rowOfLead` gives a lead
// byte's row (1-based, 0: not a lead); each row holds the trail bytes 0x30-0xFF,
// 0 where the pair is undefined.
struct DoubleBytePage {
    int number;
    const char16_t *single;
    const unsigned char *rowOfLead;
    const char16_t *pairs;
};

constexpr int firstTrail = 0x30;
constexpr int trailCount = 0x100 - firstTrail;

extern const SingleBytePage singleBytePages[];
extern const int singleBytePageCount;
extern const DoubleBytePage doubleBytePages[];
extern const int doubleBytePageCount;

}   // namespace codec::tables
