#pragma once

class QAction;
class QObject;

// The old toolkit's vocabulary types, as the Qt types that play their part.
using TObject = QObject;
// A menu item is an action in Qt; an item that opens a submenu is that menu's own action.
using TMenuItem = QAction;
using UINT = unsigned int;

struct TPoint {
    int X = 0;
    int Y = 0;
};
