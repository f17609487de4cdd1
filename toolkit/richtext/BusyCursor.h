#pragma once

#include <QtGlobal>

class QKeyEvent;
class QTextCursor;

// When the box shows the user that the program is busy, and the cursor that says so.
namespace richtext {

// The wait cursor, from when it is shown until it is hidden or goes out of scope.
class BusyCursor {
public:
    explicit BusyCursor(bool shown);
    ~BusyCursor() { hide(); }
    Q_DISABLE_COPY_MOVE(BusyCursor)

    void show();
    void hide();

private:
    bool shown_ = false;
};

// Lines past which an edit or its undo takes Qt long enough (up to seconds at a
// million lines) to show the user that the program is busy.
constexpr int manyLines = 10'000;

// Whether the selection reaches over more than manyLines lines.
bool SpansManyLines(const QTextCursor &selection);

// Which key presses in a box take long: an edit that replaces a selection of many
// lines, and an undo or redo in a long list or after such an edit.
class HeavyEdits {
public:
    // Whether the key press will take long, the box's caret being `cursor`.
    bool Weighs(const QKeyEvent &event, const QTextCursor &cursor, bool readOnly) const;
    // The key press has been handled; a heavy one makes its undo heavy too.
    void Done(bool heavy) { heavyOneDone_ = heavyOneDone_ || heavy; }
    // A new list, with no history.
    void Forget() { heavyOneDone_ = false; }

private:
    bool heavyOneDone_ = false;
};

}   // namespace richtext
