#pragma once

#include <QColor>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace support {

// An X server of its own for one test, started by tools/xserver.sh on a display it
// picks itself, and gone with the test even when the test is killed.
class XServer {
public:
    XServer();
    ~XServer();

    // Starts openbox on this server and waits until it manages windows; an empty text
    // when it did, else why not.
    QString startWindowManager();

    // Empty when the server did not start.
    QString display() const { return display_; }
    QProcessEnvironment environment() const;

    // Runs an X client on this server; its output, or an empty text when it fails.
    QString run(const QString &program, const QStringList &arguments) const;

    // The first shown window whose title matches, waited for up to ten seconds.
    QString waitForWindow(const QString &titlePattern) const;
    QString visibleWindow(const QString &titlePattern) const;
    QString property(const QString &window, const QString &name) const;
    // The window's own area on the screen, without what its window manager draws round it.
    QRect interior(const QString &window) const;
    // The window's outer edges on the screen, its window manager's frame included.
    QRect frame(const QString &window) const;
    // The window's icon as numbers: width, height, then each pixel as 0xAARRGGBB.
    QString icon(const QString &window) const;
    QColor pixel(int x, int y) const;

private:
    Q_DISABLE_COPY_MOVE(XServer)
    QTemporaryDir directory_;
    QProcess server_;
    QString display_;
    QProcess windowManager_;
};

}   // namespace support
