#pragma once

#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"
#include "vcl/TForm.h"
#include "vcl/TRichEdit.h"

// The main window: three fields for an entry, the buttons that add it, show the
// phone book and open the delete window, the list itself, and the File menu.
class TForm1 : public TForm {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    TEdit *Edit1;
    TEdit *Edit2;
    TEdit *Edit3;
    TButton *Button1;
    TButton *Button2;
    TRichEdit *RichEdit1;
    TButton *Button3;
    TMainMenu *MainMenu1;
    TMenuItem *File1;
    TMenuItem *Exit1;
    TMenuItem *Print1;
    TMenuItem *Save1;
    TPanel *Panel1;

public slots:
    void Button1Click(TObject *Sender = nullptr);
    void FormCreate(TObject *Sender = nullptr);
    void Button2Click(TObject *Sender = nullptr);
    void Button3Click(TObject *Sender = nullptr);
    void Print1Click(TObject *Sender = nullptr);
    void Exit1Click(TObject *Sender = nullptr);
    void Save1Click(TObject *Sender = nullptr);
};

extern TForm1 *Form1;
