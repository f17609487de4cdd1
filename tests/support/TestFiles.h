#pragma once

#include "codec/RichDocument.h"
#include "support/DocumentOf.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class TRichEdit;
class TStrings;

namespace support {

// Whole files; a test checks what WriteFile returns, and reads an empty array for a
// file that cannot be read.
[[nodiscard]] bool WriteFile(const QString &fileName, QByteArrayView bytes);
QByteArray ReadFile(const QString &fileName);

// The reports of a failed load and save as the user reads them: the file by its full
// path from the current folder, and the reason.
QString OpenReport(const QString &fileName, const QString &reason);
QString SaveReport(const QString &fileName, const QString &reason);

// What `operation` reports when it fails (its Exception's message), or an empty text
// when it succeeds; and the same of a load into and a save of a list.
QString FailureOf(const std::function<void()> &operation);
QString LoadFailure(TStrings &lines, const QString &fileName);
QString SaveFailure(const TStrings &lines, const QString &fileName);
// The reason given for a file that is not there.
inline const QString fileNotFound = QStringLiteral("fisierul sau un dosar din calea lui nu exista");

QStringList Lines(const TStrings &strings);
QStringList Lines(const TRichEdit &box);

// A fresh working directory for one test; the previous one is restored afterwards, also
// because Windows cannot remove a folder that is a process's current one.
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

// A new `Directory` (a QTemporaryDir, a WorkingDirectory) for each test function, made
// by renew() in init(): the previous one goes first, so that a working directory's
// predecessor is restored before the next is entered.
template <typename Directory> class PerTest {
public:
    [[nodiscard]] bool renew()
    {
        directory_.reset();
        directory_ = std::make_unique<Directory>();
        return directory_->isValid();
    }
    void reset() { directory_.reset(); }
    Directory *operator->() const { return directory_.get(); }

private:
    std::unique_ptr<Directory> directory_;
};

}   // namespace support
