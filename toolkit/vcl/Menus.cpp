#include "vcl/Menus.h"

TMainMenu::TMainMenu(QWidget *parent)
    : QMenuBar(parent)
{
    // The old menus were part of the window, never the desktop's global menu bar.
    setNativeMenuBar(false);
}

TMainMenu::~TMainMenu() = default;
