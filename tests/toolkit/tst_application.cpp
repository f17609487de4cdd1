#include "vcl/Dialogs.h"
#include "system/Exception.h"
#include "system/Sound.h"
#include "vcl/StdCtrls.h"
#include "vcl/TApplication.h"
#include "vcl/TForm.h"

#include <QMessageBox>
#include <QTest>
#include <QTimer>

// Failures thrown by toolkit operations, the windows' lifetime and the system sounds.
class TApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void throwInHandler_endsHandlerReportsAndLoopGoesOn();
    void throwInCreationHandler_reportedAndCreationCompletes();
    void closingOtherWindow_hidesIt_closingMainWindow_endsRun();
    void showMessage_titledWithApplicationTitle();
    void messageBeep_goesToHook();
};

namespace {

// A window whose handlers fail as toolkit operations do.
class FailingForm : public TForm {
    Q_OBJECT
public:
    explicit FailingForm(QWidget *parent = nullptr)
        : TForm(parent)
        , button(new TButton(this))
    {
        setCentralWidget(button);
        connect(button, &QPushButton::clicked, this, &FailingForm::ButtonClick);
        connect(this, &TForm::OnCreate, this, &FailingForm::FormCreate);
    }

    TButton *button;
    QStringList steps;
    static inline bool failOnCreate = false;

public slots:
    void ButtonClick()
    {
        steps.append(QStringLiteral("before"));
        throw Exception(QStringLiteral("Cannot open file \"x.txt\": No such file or directory"));
        steps.append(QStringLiteral("after"));   // never reached
    }
    void FormCreate()
    {
        steps.append(QStringLiteral("create"));
        if (failOnCreate)
            throw Exception(QStringLiteral("creation failed"));
        steps.append(QStringLiteral("created"));
    }
};

struct Report {
    QString title;
    QString text;
};

// Closes the next modal box with Enter, as a person would, and tells what it said.
std::shared_ptr<Report> closeNextMessageBox()
{
    auto report = std::make_shared<Report>();
    QTimer::singleShot(0, [report] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box == nullptr)
            return;
        report->title = box->windowTitle();
        report->text = box->text();
        QTest::keyClick(box, Qt::Key_Enter);
    });
    return report;
}

}   // namespace

void TApplicationTest::throwInHandler_endsHandlerReportsAndLoopGoesOn()
{
    Application->Title(QStringLiteral("carte de telefon"));
    FailingForm *form = nullptr;
    Application->CreateForm(form);
    QVERIFY(form != nullptr);
    form->Show();
    QVERIFY(QTest::qWaitForWindowExposed(form));

    for (int click = 1; click <= 2; ++click) {
        const auto report = closeNextMessageBox();
        QTest::mouseClick(form->button, Qt::LeftButton);
        QCOMPARE(report->title, QStringLiteral("carte de telefon"));
        QCOMPARE(report->text, QStringLiteral("Cannot open file \"x.txt\": No such file or directory"));
    }
    QCOMPARE(form->steps, (QStringList{QStringLiteral("create"), QStringLiteral("created"),
                                       QStringLiteral("before"), QStringLiteral("before")}));
    QVERIFY(!form->button->isDown());
    form->hide();
}

void TApplicationTest::throwInCreationHandler_reportedAndCreationCompletes()
{
    FailingForm::failOnCreate = true;
    FailingForm *form = nullptr;
    const auto report = closeNextMessageBox();
    Application->CreateForm(form);
    FailingForm::failOnCreate = false;
    QVERIFY(form != nullptr);
    QCOMPARE(report->text, QStringLiteral("creation failed"));
    QCOMPARE(form->steps, QStringList{QStringLiteral("create")});
}

void TApplicationTest::closingOtherWindow_hidesIt_closingMainWindow_endsRun()
{
    // The first form of this test program was created by the first test: it is the main window.
    TForm *mainForm = Application->MainForm();
    QVERIFY(mainForm != nullptr);
    FailingForm *other = nullptr;
    Application->CreateForm(other);
    QVERIFY(!other->MainForm());

    bool otherHiddenWhileRunning = false;
    QTimer::singleShot(0, [&] {
        other->Show();
        other->Close();
        otherHiddenWhileRunning = other->isHidden();
        mainForm->Close();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(10000);
    Application->Run();   // returns once the main window has closed
    QVERIFY(watchdog.isActive());
    QVERIFY(otherHiddenWhileRunning);
}

void TApplicationTest::showMessage_titledWithApplicationTitle()
{
    const auto report = closeNextMessageBox();
    ShowMessage(QStringLiteral("printeaza ceea ce apare in caseta"));
    QCOMPARE(report->title, QStringLiteral("carte de telefon"));
    QCOMPARE(report->text, QStringLiteral("printeaza ceea ce apare in caseta"));
}

void TApplicationTest::messageBeep_goesToHook()
{
    QList<UINT> played;
    toolkit::SetMessageBeepHook([&played](UINT type) { played.append(type); });
    toolkit::MessageBeep(5000);
    toolkit::MessageBeep(7000);
    toolkit::SetMessageBeepHook({});
    QCOMPARE(played, (QList<UINT>{5000, 7000}));
}

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    TApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
