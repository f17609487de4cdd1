#pragma once

#include <QStringView>

#include <functional>

class QMimeData;
class QTextCursor;

namespace richtext {

// Puts what the data holds in place of the cursor's selection, as one step of the undo
// history, the way a load fills the box: this program's own list as it is, another
// run's list format, HTML through Qt's parser, or plain text in the format at the
// caret; folded to what the box can hold (BoxLimits.h). The busy cursor shows while it
// takes long, from the start for another program's data. `intoShownBox` is told the
// memory estimate; `beforeInsert` is given the text before it goes in. Throws when the
// memory left would not hold it, before anything is changed. Returns whether the text
// put in holds formats or characters in stand-ins.
bool Paste(const QMimeData &source, QTextCursor &cursor, bool intoShownBox,
    const std::function<void(QStringView text)> &beforeInsert);

}   // namespace richtext
