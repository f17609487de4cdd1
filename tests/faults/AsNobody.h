#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

// Permission bits do not stop root, so a test run as root checks them in a child of
// itself that gives up root for "nobody" before it starts.
namespace asnobody {

struct Run {
    QString error;   // why the child did not run to its end; empty when it did
    int exitCode = -1;
    QString output;
};

// The ids of "nobody", looked up before forking: the child may only make plain calls.
struct Ids {
    uid_t user = 65534;
    gid_t group = 65534;
};

inline Ids nobody()
{
    Ids ids;
    if (const passwd *entry = ::getpwnam("nobody")) {
        ids.user = entry->pw_uid;
        ids.group = entry->pw_gid;
    }
    return ids;
}

// Runs this test program again as "nobody" with `arguments` and returns its exit code
// and what it printed. The child runs from a copy of the program in a folder of its
// own under /tmp, not TMPDIR, which may be private: the build tree may lie where
// nobody cannot enter (a home of mode 0700). The program links only system libraries.
inline Run run(const QStringList &arguments)
{
    Run result;
    QTemporaryDir folder(QStringLiteral("/tmp/carte-nobody-XXXXXX"));
    const QFileDevice::Permissions open = QFileDevice::ReadOwner | QFileDevice::WriteOwner
        | QFileDevice::ExeOwner | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
        | QFileDevice::ExeOther;
    const QString program = folder.filePath(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    if (!folder.isValid() || !QFile::setPermissions(folder.path(), open)
        || !QFile::copy(QCoreApplication::applicationFilePath(), program)
        || !QFile::setPermissions(program, open)) {
        result.error = QStringLiteral("cannot copy the program to a folder nobody may enter");
        return result;
    }

    const Ids ids = nobody();
    QProcess child;
    child.setProgram(program);
    child.setArguments(arguments);
    child.setWorkingDirectory(folder.path());
    child.setChildProcessModifier([ids] {
        // Root's extra groups go too, or the child could still use files of group root.
        if (::setgroups(0, nullptr) != 0 || ::setgid(ids.group) != 0 || ::setuid(ids.user) != 0)
            ::_exit(99);
    });
    child.start();
    if (!child.waitForFinished(30000)) {
        result.error = QStringLiteral("the child did not run: ") + child.errorString();
        child.kill();
        child.waitForFinished();
        return result;
    }
    if (child.exitStatus() != QProcess::NormalExit)
        result.error
            = QStringLiteral("the child crashed: ") + QString::fromUtf8(child.readAllStandardError());
    else if (child.exitCode() == 99)
        result.error = QStringLiteral("cannot become nobody");
    result.exitCode = child.exitCode();
    result.output = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
    return result;
}

// Gives `path` to nobody, as a folder or file of nobody's own.
inline bool giveToNobody(const QString &path)
{
    const Ids ids = nobody();
    return ::chown(QFile::encodeName(path).constData(), ids.user, ids.group) == 0;
}

}   // namespace asnobody
