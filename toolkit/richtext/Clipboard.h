#pragma once

#include "codec/RichDocument.h"
#include "codec/rtf/Writer.h"

#include <QMimeData>

class QFont;

// What the rich-text box gives the clipboard, and what it takes back from it.
namespace richtext {

// The format in which one program of ours hands another a selection: the program's
// own Rich Text Format, read back by its own reader, far faster than HTML.
inline const QString listMimeType = QStringLiteral("application/x-carte-de-telefon-list");

// A selection of the box as the model. A paste in the same program takes the model as
// it is; the list format (written with `options`), plain text and HTML (these two made
// as Qt's own text boxes make them) are made only when something asks for them.
class ListMimeData : public QMimeData {
public:
    ListMimeData(codec::RichDocument model, codec::RtfWriterOptions options);
    ~ListMimeData() override;
    Q_DISABLE_COPY_MOVE(ListMimeData)

    const codec::RichDocument &Model() const { return model_; }

    QStringList formats() const override;
    bool hasFormat(const QString &mimeType) const override;

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override;

private:
    codec::RichDocument model_;
    codec::RtfWriterOptions options_;
    mutable QStringList made_;
};

// What the list format names as its own: the box's font, in which the box shows text
// that no run formats, so that another run of the program shows the list alike.
codec::RtfWriterOptions ListFormatOptions(const QFont &boxFont);

// Whether the data is fetched from another program only when asked for, as the
// platform's clipboard and drag data are: then even its size takes time to learn.
bool IsFetchedOnDemand(const QMimeData &source);

}   // namespace richtext
