#pragma once

#include "vcl/TControl.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

class TEdit : public QLineEdit, public TControl {
    Q_OBJECT
public:
    explicit TEdit(QWidget *parent = nullptr);
    ~TEdit() override;

    QString Text() const override { return text(); }
};

class TButton : public QPushButton, public TControl {
    Q_OBJECT
public:
    explicit TButton(QWidget *parent = nullptr);
    ~TButton() override;

    QString Text() const override { return text(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// A raised panel with its caption centred, as the panels of the old forms were.
class TPanel : public QLabel, public TControl {
    Q_OBJECT
public:
    explicit TPanel(QWidget *parent = nullptr);
    ~TPanel() override;

    QString Text() const override { return text(); }
};
