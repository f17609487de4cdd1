#include "vcl/Accessibility.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace accessibility {

namespace {

// A caption read aloud: no mnemonic markers ("&&" is a literal ampersand) and none of
// the blanks that only pad it on screen.
QString spoken(const QString &caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&'))
                text += caption.at(++i);
            continue;
        }
        text += caption.at(i);
    }
    return text.simplified();
}

QString windowTitle(const QWidget &window) { return window.windowTitle().simplified(); }

// The text a sighted user sees as the control's label. A text box holds the data
// itself, so it is named after the window it shows.
QString nameOf(const QWidget &control, const QWidget &window)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(&control))
        return spoken(button->text());
    if (const auto *label = qobject_cast<const QLabel *>(&control))
        return spoken(label->text());
    if (const auto *edit = qobject_cast<const QLineEdit *>(&control)) {
        const QString initial = edit->text().simplified();
        return initial.isEmpty() ? edit->placeholderText().simplified() : initial;
    }
    if (qobject_cast<const QPlainTextEdit *>(&control) || qobject_cast<const QTextEdit *>(&control))
        return windowTitle(window);
    return {};
}

// Qt shows a control without a hint of its own the hint of the nearest widget around it
// that has one; the description says the same.
QString descriptionOf(const QWidget &control, const QWidget &window)
{
    for (const QWidget *widget = &control; widget != nullptr; widget = widget->parentWidget()) {
        const QString hint = widget->toolTip().simplified();
        if (!hint.isEmpty())
            return hint;
        if (widget == &window)
            break;
    }
    return windowTitle(window);
}

}   // namespace

void DescribeControls(QWidget &window)
{
    // The title bar pads the caption with blanks to centre it; hints are padded too.
    if (window.accessibleName().isEmpty())
        window.setAccessibleName(windowTitle(window));
    if (window.accessibleDescription().isEmpty())
        window.setAccessibleDescription(window.toolTip().simplified());
    const auto widgets = window.findChildren<QWidget *>();
    for (QWidget *control : widgets) {
        if (control->window() != &window)
            continue;
        const QString name = nameOf(*control, window);
        if (name.isEmpty())
            continue;
        if (control->accessibleName().isEmpty())
            control->setAccessibleName(name);
        if (control->accessibleDescription().isEmpty())
            control->setAccessibleDescription(descriptionOf(*control, window));
    }
}

}   // namespace accessibility
