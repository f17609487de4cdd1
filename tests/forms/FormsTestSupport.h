#pragma once

#include "vcl/TApplication.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QStringList>
#include <QTemporaryDir>
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

// A fresh working directory for one test; the previous one is restored afterwards.
class WorkingDirectory {
public:
    WorkingDirectory()
        : previous_(QDir::currentPath())
    {
        QDir::setCurrent(directory_.path());
    }
    ~WorkingDirectory() { QDir::setCurrent(previous_); }

    QString filePath(const QString &name) const { return directory_.filePath(name); }
    bool isValid() const { return directory_.isValid(); }
    QStringList entries() const
    {
        return QDir(directory_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private:
    Q_DISABLE_COPY_MOVE(WorkingDirectory)
    QTemporaryDir directory_;
    QString previous_;
};

inline bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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

inline QStringList lines(const TRichEdit &box)
{
    QStringList result;
    for (int index = 0; index < box.Lines->Count(); ++index)
        result.append(box.Lines->Strings(index));
    return result;
}

}   // namespace forms_test
