#pragma once

#include "codec/rtf/CharacterState.h"

#include <cstdint>
#include <vector>

namespace codec::rtf {

enum class Destination : std::uint8_t { Body, Skip, FontTable, ColorTable };

// Everything a group restores when it ends. Kept small and free of heap members:
// it is copied at every '{'.
struct GroupState {
    Destination destination = Destination::Body;
    Destination uprRestore = Destination::Body;
    bool isUprGroup = false;
    bool insideUpr = false;
    bool inTable = false;
    std::uint8_t unicodeSkip = 1;
    CharacterState character;
};

// The open groups, innermost last. Hostile files nest groups hundreds of thousands
// deep: past maximumDepth a group is only counted, and its words change the
// innermost group that is kept.
class GroupStack {
public:
    static constexpr int maximumDepth = 10000;

    bool started() const { return !stack_.empty(); }
    GroupState &innermost() { return stack_.back(); }
    const GroupState &outermost() const { return stack_.front(); }
    std::size_t depth() const { return stack_.size(); }

    void open()
    {
        if (stack_.empty()) {
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
    // True when the group that ends was only counted.
    bool closeCounted()
    {
        if (overflowDepth_ == 0)
            return false;
        --overflowDepth_;
        return true;
    }
    void close() { stack_.pop_back(); }

private:
    std::vector<GroupState> stack_;
    int overflowDepth_ = 0;
};

}   // namespace codec::rtf
