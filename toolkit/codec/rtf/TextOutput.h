#pragma once

#include "codec/RichDocument.h"

#include <algorithm>
#include <utility>

namespace codec::rtf {

// The document's text and runs as they are read. The text is written through a raw
// pointer into room made ahead, so that a long stretch costs one check.
class TextOutput {
public:
    // No construct yields more characters than it has bytes, so room for the input is
    // usually the only allocation of the text.
    explicit TextOutput(qsizetype expected) { ensureRoom(expected); }

    void ensureRoom(qsizetype count)
    {
        if (Q_UNLIKELY(capacity_ - length_ < count)) {
            capacity_ = std::max(capacity_ * 2, length_ + count + 1024);
            document_.text.resize(capacity_);
            out_ = document_.text.data();
        }
    }
    // Room for `count` characters at cursor(); advance() keeps those written.
    QChar *cursor(qsizetype count)
    {
        ensureRoom(count);
        return out_ + length_;
    }
    void advance(qsizetype count) { length_ += count; }
    void put(QChar c)
    {
        ensureRoom(1);
        out_[length_++] = c;
    }

    RichDocument &document() { return document_; }

    // Text from here on is in `format` (-1: the default format).
    void useFormat(int format)
    {
        if (openRunFormat_ != format) {
            closeRun();
            openRunFormat_ = format;
            openRunStart_ = length_;
        }
    }
    void closeRun()
    {
        if (openRunFormat_ >= 0 && length_ > openRunStart_)
            document_.runs.push_back({ openRunStart_, length_ - openRunStart_, openRunFormat_ });
        openRunFormat_ = -1;
    }

    RichDocument finish()
    {
        closeRun();
        document_.text.truncate(length_);
        // Give back the room that skipped groups and markup left unused, but only
        // when it is worth a copy.
        if (document_.text.capacity() - length_ > length_ + 65536)
            document_.text.squeeze();
        return std::move(document_);
    }

private:
    RichDocument document_;
    QChar *out_ = nullptr;
    qsizetype length_ = 0;
    qsizetype capacity_ = 0;
    int openRunFormat_ = -1;
    qsizetype openRunStart_ = 0;
};

}   // namespace codec::rtf
