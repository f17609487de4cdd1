#pragma once

#include <QMap>
#include <QRect>
#include <QString>

namespace support {

// A window as its Qt Designer file in forms/ lays it out, so that a test compares the
// windows with their design without writing it out again.
struct FormDesign {
    QRect frame;   // the design's Left and Top, and its size
    struct Control {
        QRect geometry;
        QString text;
    };
    QMap<QString, Control> controls;   // the window's controls, by object name
};

// The design in forms/`fileName` ("Unit1.ui"), built into the tests; an empty one when it
// cannot be read.
FormDesign ReadFormDesign(const QString &fileName);

}   // namespace support
