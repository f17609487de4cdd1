#include "forms/Texts.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "vcl/TApplication.h"

int main(int argc, char *argv[])
{
    // The desktop entry's name: a Wayland shell finds the program's launcher and icon by
    // it, as the X11 window class finds them on X.
    QGuiApplication::setDesktopFileName(QStringLiteral(CARTE_APPLICATION_ID));
    TApplication application(argc, argv);
    Application->Initialize();
    Application->Title(FormsTexts::tr("carte de telefon"));
    Application->Icon(QIcon(QStringLiteral(":/carte-de-telefon.xpm")));
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->Run();
    return 0;
}
