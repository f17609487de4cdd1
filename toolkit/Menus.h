#pragma once

#include <QAction>
#include <QMenuBar>

// A menu item is an action in Qt; an item that opens a submenu is that menu's own action.
using TMenuItem = QAction;

class TMainMenu : public QMenuBar {
    Q_OBJECT
public:
    explicit TMainMenu(QWidget *parent = nullptr);
    ~TMainMenu() override;
};
