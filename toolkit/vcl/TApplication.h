#pragma once

#include "system/Exception.h"

#include <QApplication>
#include <QIcon>

#include <memory>
#include <vector>

class TForm;

// The application object: owns every window, reports every failure that escapes a
// handler, and runs the main loop until the main window closes.
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int &argc, char **argv);
    ~TApplication() override;

    void Initialize();

    // The text that names the running program: the title of its message boxes and
    // the name the desktop shows for it. The main window's title bar keeps its caption.
    QString Title() const { return title_; }
    void Title(const QString &title);

    // The program's icon, on every window it shows: its own windows and its message
    // boxes alike.
    void Icon(const QIcon &icon) { setWindowIcon(icon); }

    // Builds a window of the class, stores it in `reference` and then runs its creation
    // handler. The first window created is the main window. A failure in the creation
    // handler is reported and the creation completes.
    template <typename Form> void CreateForm(Form *&reference)
    {
        try {
            auto form = std::make_unique<Form>();
            reference = form.get();
            Adopt(std::move(form));
        } catch (...) {
            ReportCurrentException();
            return;
        }
        try {
            reference->DoCreate();
        } catch (...) {
            ReportCurrentException();
        }
    }

    // Shows the main window and dispatches events until it closes.
    void Run();

    TForm *MainForm() const { return mainForm_; }

    // Shows the report of a failure in a message box and returns.
    void ShowException(const QString &message);

    bool notify(QObject *receiver, QEvent *event) override;

    // Reports the exception being handled; to be called from a catch block only.
    void ReportCurrentException();

private:
    void Adopt(std::unique_ptr<TForm> form);

    std::vector<std::unique_ptr<TForm>> forms_;
    TForm *mainForm_ = nullptr;
    QString title_;
};

// The one application object, as the program's code names it.
extern TApplication *Application;
