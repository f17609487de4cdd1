#include "richtext/Clipboard.h"

#include "codec/rtf/Writer.h"
#include "richtext/Bridge.h"

#include <QFont>
#include <QTextCursor>
#include <QTextDocument>

namespace richtext {

ListMimeData::ListMimeData(codec::RichDocument model, codec::RtfWriterOptions options)
    : model_(std::move(model))
    , options_(std::move(options))
{
}

ListMimeData::~ListMimeData() = default;

QStringList ListMimeData::formats() const
{
    return { listMimeType, QStringLiteral("text/plain"), QStringLiteral("text/html") };
}

bool ListMimeData::hasFormat(const QString &mimeType) const { return formats().contains(mimeType); }

QVariant ListMimeData::retrieveData(const QString &mimeType, QMetaType type) const
{
    // Each format is made once, when first asked for: a clipboard manager that takes
    // the plain text of every copy does not wait for the HTML.
    if (hasFormat(mimeType) && !made_.contains(mimeType)) {
        made_.append(mimeType);
        auto *self = const_cast<ListMimeData *>(this);
        if (mimeType == listMimeType) {
            self->setData(listMimeType, codec::WriteRtf(model_, options_));
        } else if (mimeType == QLatin1String("text/plain")) {
            // As QTextDocument::toPlainText gives it, which other programs have had so far.
            QString text = model_.text.chopped(model_.text.endsWith(QLatin1Char('\n')) ? 1 : 0);
            text.replace(QChar::LineSeparator, QLatin1Char('\n')).replace(QChar::Nbsp, QLatin1Char(' '));
            self->setText(text);
        } else {
            QTextDocument copy;
            copy.setUndoRedoEnabled(false);
            QTextCursor cursor(&copy);
            Insert(cursor, model_, {});
            self->setHtml(copy.toHtml());
        }
    }
    return QMimeData::retrieveData(mimeType, type);
}

codec::RtfWriterOptions ListFormatOptions(const QFont &boxFont)
{
    codec::RtfWriterOptions options;
    options.defaultFontFamily = boxFont.family();
    if (boxFont.pointSizeF() > 0)
        options.defaultHalfPoints = qRound(boxFont.pointSizeF() * 2);
    return options;
}

bool IsFetchedOnDemand(const QMimeData &source)
{
    // The platform's classes have meta-objects of their own; data set in this program,
    // ours included, is a plain QMimeData that holds it already.
    return source.metaObject() != &QMimeData::staticMetaObject;
}

}   // namespace richtext
