#pragma once

#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "support/TestFiles.h"
#include "vcl/TApplication.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace forms_test {

// What a message box said when it was closed.
struct ShownMessage {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Closes every message box that appears while it lives with Enter, as a person
// would, and keeps what each said. `onShown` runs while the box is still open, so
// a test can look at the windows as they were then.
class MessageBoxCloser : public QObject {
public:
    explicit MessageBoxCloser(std::function<void(const ShownMessage &)> onShown = {})
        : onShown_(std::move(onShown))
    {
        // A timer keeps firing inside each box's own event loop.
        connect(&timer_, &QTimer::timeout, this, &MessageBoxCloser::closeOpenBox);
        timer_.start(10);
    }

    QList<ShownMessage> shown;

private:
    void closeOpenBox()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        const ShownMessage message { box->windowTitle(), box->text(), box->icon() };
        shown.append(message);
        if (onShown_)
            onShown_(message);
        QTest::keyClick(box, Qt::Key_Enter);
    }

    QTimer timer_;
    std::function<void(const ShownMessage &)> onShown_;
};

using support::WorkingDirectory;

// The sample phone book every test starts from unless it writes its own.
inline const QStringList sampleLines {
    QStringLiteral("Pop  Ana  555"),
    QStringLiteral("Ionescu  Maria  0722 123 456"),
    QStringLiteral("Popescu  Ion  0744 555 010"),
    QStringLiteral("Stan  Mihai  0733 900 111"),
    QStringLiteral("Rusu  Cristina  0766 101 202"),
};

// Builds both windows as the program does, in the current directory, with the
// globals pointing at the new ones. The first pair built by a test program holds
// the main window; later pairs are ordinary windows.
inline void createForms()
{
    Application->Title(QStringLiteral("carte de telefon"));
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
}

// Writes the sample phone book as baza.txt in the current directory and builds both
// windows on it; the test fails when its load reports anything.
inline void createFormsOnSample()
{
    QVERIFY(support::WriteFile(QStringLiteral("baza.txt"), sampleLines.join(QLatin1Char('\n')).toUtf8()));
    MessageBoxCloser closer;
    createForms();
    QVERIFY2(closer.shown.isEmpty(), "loading the sample phone book was reported as a failure");
}

}   // namespace forms_test
