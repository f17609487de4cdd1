#pragma once

#include "codec/RichDocument.h"
#include "vcl/TControl.h"
#include "vcl/TStrings.h"

#include <QPlainTextEdit>
#include <QTimer>

#include <memory>

namespace richtext {
class Filler;
}

// An editable box of formatted text. Built on QPlainTextEdit, whose layout covers only
// what is shown, so that adding or removing a line costs the same at a million lines
// as at ten; its document still carries character formats.
class TRichEdit : public QPlainTextEdit, public TControl {
    Q_OBJECT
public:
    explicit TRichEdit(QWidget *parent = nullptr);
    ~TRichEdit() override;

    void Clear();
    // X: the caret's column; Y: the number, from 0, of the line that holds the caret.
    TPoint CaretPos() const;
    // Prints the box's content as one job whose title is `title`.
    void Print(const QString &title);
    QString Text() const override { return Lines->Text(); }

private:
    std::unique_ptr<TStrings> lines_;

public:
    TStrings *const Lines;

    // The whole content with its character formats.
    codec::RichDocument Document() const;
    // Replaces the whole content, leaving the caret at the start and no undo history.
    void Document(const codec::RichDocument &document);
    // About how many bytes the box would take to hold the document.
    qint64 EstimatedBytes(const codec::RichDocument &document) const;

    // A long document given to a box that is not shown is filled in during the turns
    // of the event loop, so that its window can appear first. Every operation on the
    // content, and showing the box, ends such a fill first: none sees half a list.
    bool Filling() const { return filler_ != nullptr; }
    void FinishFill() const;

    void setVisible(bool visible) override;

signals:
    // A fill in turns has ended.
    void filled();

protected:
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fillSome();
    void fillFor(qint64 nanoseconds);
    void endFill();
    void finishFill();

    std::unique_ptr<richtext::Filler> filler_;
    QTimer fillTurns_;
    // Set while a part is being filled in: Qt's own notifications then must not end
    // the fill from within.
    bool stepping_ = false;
    // Whether the box's window has painted since the fill began.
    bool windowPainted_ = false;

    void allowBreaksAnywhereFor(QStringView text);
    void pasteFrom(const QMimeData &source);
    bool isHeavyEdit(const QKeyEvent &event) const;

    // Set once the box has held formatted text; until then its content can be read
    // as plain text, which is much faster.
    bool mayHoldFormatting_ = false;
    // The viewport width that the lines were last laid out for; -1: none yet.
    int laidOutWidth_ = -1;
    // Set once the box has been on screen, after which it costs more for each line.
    bool shownOnce_ = false;
    // Set once an edit of many lines is in the undo history.
    bool heavyEditDone_ = false;
};
