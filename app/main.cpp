#include "vcl/TApplication.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    Application->Initialize();
    Application->Title(QStringLiteral("carte de telefon"));
    Application->Icon(QIcon(QStringLiteral(":/carte-de-telefon.xpm")));
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->Run();
    return 0;
}
