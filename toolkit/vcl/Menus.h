#pragma once

#include "vcl/Types.h"

#include <QAction>
#include <QMenuBar>

class TMainMenu : public QMenuBar {
    Q_OBJECT
public:
    explicit TMainMenu(QWidget *parent = nullptr);
    ~TMainMenu() override;
};
