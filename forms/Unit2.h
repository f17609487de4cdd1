#pragma once

#include "vcl/StdCtrls.h"
#include "vcl/TForm.h"

// The delete window: its one button removes the line of the main window's list that
// holds the text caret.
class TForm2 : public TForm {
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);
    ~TForm2() override;

    TButton *Button1;

public slots:
    void Button1Click(TObject *Sender = nullptr);
};

extern TForm2 *Form2;
