#include "codec/rtf/Reader.h"

#include "codec/rtf/Interpreter.h"

namespace codec {

namespace rtf {

void Interpreter::prepare()
{
    // Every change of font or code page asks for preparation, so this stays current.
    symbolText_ = !pages_.utf8() && pageForCurrentFont().isSymbol();
    format_.noteDefaultSize(groups_.outermost().character.halfPoints);
    if (format_.dirty())
        format_.refresh(state().character, defaultFont_, fonts_, colors_, output_.document());
    openText(format_.current());
}

void Interpreter::openGroup()
{
    flushPendingBytes();
    decoder_.stopSkipping();
    ignorableNext_ = false;
    atGroupStart_ = true;
    groups_.open();
}

bool Interpreter::closeGroup()
{
    flushPendingBytes();
    decoder_.stopSkipping();
    ignorableNext_ = false;
    atGroupStart_ = false;
    if (groups_.closeCounted())
        return true;
    const GroupState &closing = state();
    if (closing.destination == Destination::FontTable && fonts_.pending() && fonts_.depth() >= groups_.depth()
        && fonts_.commit(pages_.documentPage()))
        tablesChanged();
    if (groups_.depth() == 1)
        return false;
    groups_.close();
    formatChanged();
    pageChanged();
    return true;
}

void Interpreter::textByte(unsigned char c, bool escaped)
{
    atGroupStart_ = false;
    GroupState &s = state();
    switch (s.destination) {
    case Destination::Body:
        if (!s.character.hidden)
            decoder_.addByte(c, pageForCurrentFont());
        break;
    case Destination::FontTable:
        if (c == ';' && !escaped) {
            if (fonts_.commit(pages_.documentPage()))
                tablesChanged();
        } else {
            fonts_.addNameByte(c);
        }
        break;
    case Destination::ColorTable:
        if (c == ';' && !escaped) {
            colors_.commit();
            tablesChanged();
        }
        break;
    case Destination::Skip:
        break;
    }
}

RichDocument Interpreter::run()
{
    const ByteClasses &classes = Classes();
    while (!tokens_.atEnd()) {
        const unsigned char c = tokens_.peek();
        if (!groups_.started()) {
            tokens_.take();
            if (c == '{')
                openGroup();
            continue;
        }

        if (Q_UNLIKELY(decoder_.skipping())) {
            decoder_.skipFallback(tokens_);
            continue;
        }

        const GroupState &s = state();
        if (s.destination == Destination::Body && !s.character.hidden) {
            if (classes.body[c] == Ordinary) {
                if (Q_UNLIKELY(decoder_.hasPendingBytes())) {
                    // A double-byte character's trail byte may be plain ASCII.
                    if (decoder_.leadOpen()) {
                        decoder_.addTrailByte(tokens_.take());
                        continue;
                    }
                    flushPendingBytes();
                }
                atGroupStart_ = false;
                beginText();
                if (Q_UNLIKELY(symbolText_)) {
                    writeSymbols(tokens_.takeRun(classes.body));
                } else {
                    output_.advance(tokens_.copyOrdinaryText(output_.cursor(tokens_.remaining())));
                }
                continue;
            }
        } else if (classes.skipped[c] == Ordinary && s.destination == Destination::Skip) {
            tokens_.takeRun(classes.skipped);
            continue;
        }

        tokens_.take();
        switch (c) {
        case '{':
            openGroup();
            break;
        case '}':
            if (!closeGroup())
                tokens_.skipToEnd();
            break;
        case '\\':
            execute(tokens_.control());
            break;
        case '\r':
        case '\n':
        case 0:
            break;
        case '\t':
            execute(Token::word(Keyword::Tab));
            break;
        default:
            if (c >= 0x80 && !(s.destination == Destination::Body && s.character.hidden)) {
                textByte(c, false);
            } else if (s.destination != Destination::Body) {
                textByte(c, false);
            }
            break;
        }
    }

    flushPendingBytes();
    return finishText();
}

}   // namespace rtf

RichDocument ReadRtf(QByteArrayView bytes)
{
    rtf::Interpreter reader(bytes);
    return reader.run();
}

}   // namespace codec
