#pragma once

#include "codec/RichDocument.h"
#include "richtext/BusyCursor.h"
#include "richtext/FillInTurns.h"
#include "vcl/LaidOutWidth.h"
#include "vcl/TControl.h"
#include "vcl/TStrings.h"

#include <QPlainTextEdit>

// An editable box of formatted text. Built on QPlainTextEdit, whose layout covers only
// what is shown, so that adding or removing a line costs the same at a million lines
// as at ten; its document still carries character formats.
class TRichEdit : public QPlainTextEdit, public TControl {
    Q_OBJECT
public:
    explicit TRichEdit(QWidget *parent = nullptr);
    ~TRichEdit() override;

    TStrings *const Lines;

    void Clear();
    // X: the caret's column; Y: the number, from 0, of the line that holds the caret.
    TPoint CaretPos() const;
    // Prints the box's content as one job whose title is `title`.
    void Print(const QString &title);
    QString Text() const override { return Lines->Text(); }

    // The whole content with its character formats.
    codec::RichDocument Document() const;
    // Replaces the whole content, leaving the caret at the start and no undo history.
    void Document(const codec::RichDocument &document);
    // About how many bytes the box would take to hold the document.
    qint64 EstimatedBytes(const codec::RichDocument &document) const;

    // A long document given to a box that is not shown is filled in during the turns
    // of the event loop, so that its window can appear first. Every operation on the
    // content, and showing the box, finishes such a fill first: none sees half a list.
    bool Filling() const { return fill_.Filling(); }
    void FinishFill() const { fill_.MakeWhole(); }

    void setVisible(bool visible) override;

signals:
    // A fill in turns has ended: the document that Document() was given is whole in
    // the box.
    void filled();

protected:
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void allowBreaksAnywhereFor(QStringView text);
    void takeFilled(bool formatted, bool inTurns);

    // What Lines points at.
    TStrings strings_;
    // Changes the document, but not the list a caller sees: const members call it.
    mutable richtext::FillInTurns fill_;
    richtext::HeavyEdits heavyEdits_;
    LaidOutWidth laidOutWidth_;
    // Set once the box may hold formatted text; until then its content can be read as
    // plain text, which is much faster.
    bool mayHoldFormatting_ = false;
    // Set once the box has been on screen, after which it costs more for each line.
    bool shownOnce_ = false;
};
