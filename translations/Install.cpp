#include <QCoreApplication>
#include <QDirIterator>
#include <QTranslator>

namespace {

// The program speaks the language it was made in, whatever the user's locale: once the
// application object exists, every translation built into the program is installed.
void InstallTranslations()
{
    QDirIterator translations(QStringLiteral(":/i18n"), { QStringLiteral("*.qm") }, QDir::Files);
    while (translations.hasNext()) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(translations.next()))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}

}   // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallTranslations)
