#pragma once

class QWidget;

namespace accessibility {

// Gives every control of the window a name and a description that a screen reader can
// read out, from what a sighted user sees: a button or label its caption, an edit
// field the text it starts with, a text box the window's title; the description is the
// control's hint, else the nearest enclosing hint, else the window's title. Names and
// descriptions already set are kept.
void DescribeControls(QWidget &window);

}   // namespace accessibility
