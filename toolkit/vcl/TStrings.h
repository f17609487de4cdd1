#pragma once

#include "codec/rtf/Writer.h"

#include <QString>
#include <QtGlobal>

class TRichEdit;

// The lines of a rich-text box. One line is one paragraph of the box, however the
// box wraps it on screen. A last paragraph that is empty ends the text rather than
// being a line of its own, so an empty box holds no lines and every Add leaves the
// box ending in an empty paragraph where the next line goes.
class TStrings {
public:
    explicit TStrings(TRichEdit &box);

    int Count() const;
    // The line at `index`; throws when no line has that number.
    QString Strings(int index) const;

    // Adds a line after the last, in the box's default format.
    void Add(const QString &line);
    // Removes the line; throws when no line has that number.
    void Delete(int index);
    // Every line followed by CR LF, the last one too.
    QString Text() const;

    // Replaces all lines by the file's content (Rich Text Format or plain text). On
    // failure the box keeps what it held, and the report names the file and the reason.
    void LoadFromFile(const QString &fileName);
    // Writes all lines as one Rich Text Format document that names `options` as its
    // own, replacing the file whole or not at all.
    void SaveToFile(const QString &fileName, const codec::RtfWriterOptions &options) const;

private:
    Q_DISABLE_COPY_MOVE(TStrings)
    void RequireLine(int index) const;
    TRichEdit &box_;
};
