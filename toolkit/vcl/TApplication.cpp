#include "vcl/TApplication.h"

#include "vcl/Dialogs.h"
#include "vcl/FocusStyle.h"
#include "vcl/TForm.h"
#include "vcl/Texts.h"

#include <new>

TApplication *Application = nullptr;

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    Application = this;
    // Only the main window ends the program, whatever other window is still shown.
    setQuitOnLastWindowClosed(false);
    setStyle(new FocusStyle);
}

TApplication::~TApplication()
{
    // The windows go before the application object they belong to.
    forms_.clear();
    Application = nullptr;
}

void TApplication::Initialize() { }

void TApplication::Title(const QString &title)
{
    title_ = title;
    setApplicationName(title);
    for (const auto &form : forms_)
        form->setWindowIconText(title);
}

void TApplication::Run()
{
    if (mainForm_ == nullptr)
        return;
    mainForm_->Show();
    exec();
}

void TApplication::ShowException(const QString &message) { ShowMessageBox(message, QMessageBox::Critical); }

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportCurrentException();
        // The event was handled, if badly: nothing else must get it.
        return true;
    }
}

void TApplication::Adopt(std::unique_ptr<TForm> form)
{
    form->setWindowIconText(title_);
    if (mainForm_ == nullptr) {
        mainForm_ = form.get();
        mainForm_->MainForm(true);
    }
    forms_.push_back(std::move(form));
}

void TApplication::ReportCurrentException()
{
    try {
        throw;
    } catch (const Exception &error) {
        ShowException(error.Message());
    } catch (const std::bad_alloc &) {
        ShowException(VclTexts::tr("Out of memory: the operation was abandoned."));
    } catch (const std::exception &error) {
        ShowException(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowException(VclTexts::tr("The operation failed for an unknown reason."));
    }
}
