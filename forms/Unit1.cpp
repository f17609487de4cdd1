#include "forms/Unit1.h"

#include "forms/Texts.h"
#include "forms/Unit2.h"
#include "phonebook/PhoneBook.h"
#include "system/Sound.h"
#include "ui_Unit1.h"
#include "vcl/Dialogs.h"
#include "vcl/TApplication.h"

using toolkit::MessageBeep;

TForm1 *Form1 = nullptr;

TForm1::TForm1(QWidget *parent)
    : TForm(parent)
{
    Ui::Form1 layout;
    layout.setupUi(this);
    Edit1 = layout.Edit1;
    Edit2 = layout.Edit2;
    Edit3 = layout.Edit3;
    Button1 = layout.Button1;
    Button2 = layout.Button2;
    RichEdit1 = layout.RichEdit1;
    Button3 = layout.Button3;
    MainMenu1 = layout.MainMenu1;
    File1 = layout.File1->menuAction();
    Exit1 = layout.Exit1;
    Print1 = layout.Print1;
    Save1 = layout.Save1;
    Panel1 = layout.Panel1;
}

TForm1::~TForm1() = default;

void TForm1::Button1Click(TObject *)
{
    RichEdit1->Visible(false);
    const QString surname = Edit1->Text();
    const QString firstName = Edit2->Text();
    const QString phoneNumber = Edit3->Text();
    phonebook::Append(*RichEdit1, phonebook::EntryLine(surname, firstName, phoneNumber));
}

void TForm1::FormCreate(TObject *)
{
    phonebook::Clear(*RichEdit1);
    phonebook::Load(*RichEdit1);
    RichEdit1->Visible(false);
}

void TForm1::Button2Click(TObject *)
{
    RichEdit1->Refresh();
    RichEdit1->Visible(true);
}

void TForm1::Button3Click(TObject *) { Form2->Show(); }

void TForm1::Print1Click(TObject *)
{
    RichEdit1->Refresh();
    RichEdit1->Visible(true);
    MessageBeep(5000);
    ShowMessage(FormsTexts::tr("printeaza ceea ce apare in caseta"));
    const QString wholeText = phonebook::WholeText(*RichEdit1);
    RichEdit1->Print(wholeText);
}

void TForm1::Exit1Click(TObject *)
{
    MessageBeep(7000);
    Close();
}

void TForm1::Save1Click(TObject *) { phonebook::Save(*RichEdit1); }
