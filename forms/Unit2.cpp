#include "forms/Unit2.h"

#include "forms/Unit1.h"
#include "ui_Unit2.h"

#include "phonebook/PhoneBook.h"

TForm2 *Form2 = nullptr;

TForm2::TForm2(QWidget *parent)
    : TForm(parent)
{
    Ui::Form2 layout;
    layout.setupUi(this);
    Button1 = layout.Button1;
}

TForm2::~TForm2() = default;

void TForm2::Button1Click(TObject *)
{
    const int lineNumber = Form1->RichEdit1->CaretPos().Y;
    phonebook::DeleteAt(*Form1->RichEdit1, lineNumber);
    Form1->RichEdit1->Refresh();
    Close();
}
