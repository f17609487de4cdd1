#include "richtext/Paste.h"

#include "richtext/BoxLimits.h"
#include "richtext/Bridge.h"
#include "richtext/BusyCursor.h"
#include "richtext/Clipboard.h"
#include "richtext/DocumentFiles.h"
#include "richtext/MemoryEstimate.h"
#include "richtext/Texts.h"
#include "system/Exception.h"
#include "system/Memory.h"

#include <QMimeData>
#include <QTextCursor>

#include <new>
#include <optional>

namespace richtext {

namespace {

// Characters past which a paste takes long enough to show the busy cursor.
constexpr qsizetype manyCharacters = 256 * 1024;

// As for a load: Qt's document does not survive running out of memory.
void RequireMemory(qint64 bytes)
{
    if (const std::optional<memory::Shortage> shortage = memory::Shortfall(bytes)) {
        throw Exception(
            RichTextTexts::tr("Cannot paste: the text needs about %1 MB of memory; %2 MB are available.")
                .arg(shortage->neededMegabytes)
                .arg(shortage->availableMegabytes));
    }
}

bool PasteOrRunOut(const QMimeData &source, QTextCursor &cursor, bool intoShownBox,
    const std::function<void(QStringView text)> &beforeInsert)
{
    // Another program's data comes only when asked for, and a large one takes a while
    // to come: the busy cursor shows from the start, and goes if the data is small.
    BusyCursor busy(IsFetchedOnDemand(source));
    const auto busyFor = [&busy](qsizetype characters) {
        if (characters > manyCharacters)
            busy.show();
        else
            busy.hide();
    };
    codec::RichDocument model;
    QTextCharFormat plainFormat;
    if (const auto *own = dynamic_cast<const ListMimeData *>(&source)) {
        busyFor(own->Model().text.size());
        model = FitForBox(own->Model(), cursor.document());
    } else if (source.hasFormat(listMimeType)) {
        // From another run of this program.
        const QByteArray list = source.data(listMimeType);
        busyFor(list.size());
        RequireMemory(list.size() * readingBytesPerByte);
        model = FitForBox(Decode(list), cursor.document());
    } else if (source.hasHtml()) {
        QString html = source.html();
        busyFor(html.size());
        model = FromHtml(std::move(html), cursor.document());
    } else {
        QString text = source.text();
        busyFor(text.size());
        model = FromPlainText(std::move(text));
        // As typed text, plain text takes the format at the caret; a stand-in's mark
        // would turn the pasted text's own U+FFFD into the character it stands for.
        plainFormat = cursor.charFormat();
        plainFormat.clearProperty(standsForProperty);
    }
    RequireMemory(EstimatedBytes(model, intoShownBox));
    beforeInsert(model.text);
    return Insert(cursor, model, plainFormat) || !plainFormat.properties().isEmpty();
}

}   // namespace

bool Paste(const QMimeData &source, QTextCursor &cursor, bool intoShownBox,
    const std::function<void(QStringView text)> &beforeInsert)
{
    try {
        return PasteOrRunOut(source, cursor, intoShownBox, beforeInsert);
    } catch (const std::bad_alloc &) {
        throw Exception(RichTextTexts::tr("Cannot paste: there is not enough memory for the text."));
    }
}

}   // namespace richtext
