#include "support/XServer.h"

#include "support/TestFiles.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

using namespace Qt::StringLiterals;

namespace support {

XServer::XServer()
{
    // The script ends its server when it is ended itself, as it is with the test.
    server_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QString displayFile = directory_.filePath(u"display"_s);
    server_.start(
        u"bash"_s, { QStringLiteral(CARTE_SOURCE_DIR "/tools/xserver.sh"), u"serve"_s, displayFile });
    // The file appears whole, once the server answers a client.
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && server_.state() != QProcess::NotRunning) {
        const QByteArray line = ReadFile(displayFile);
        if (line.endsWith('\n')) {
            display_ = QString::fromLatin1(line.trimmed());
            return;
        }
        QTest::qWait(50);
    }
}

XServer::~XServer()
{
    windowManager_.terminate();
    windowManager_.waitForFinished(5000);
    server_.terminate();
    server_.waitForFinished(10000);
}

QString XServer::startWindowManager()
{
    if (QStandardPaths::findExecutable(u"openbox"_s).isEmpty())
        return u"openbox is not installed: the frames a window manager draws cannot be checked"_s;
    QProcessEnvironment environment = this->environment();
    // Its stock configuration, whatever the user running the tests has set up.
    environment.insert(u"XDG_CONFIG_HOME"_s, directory_.filePath(u"config"_s));
    windowManager_.setProcessEnvironment(environment);
    windowManager_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    windowManager_.start(u"openbox"_s, { u"--sm-disable"_s });
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && windowManager_.state() != QProcess::NotRunning) {
        if (run(u"xprop"_s, { u"-root"_s, u"_NET_SUPPORTING_WM_CHECK"_s }).contains(u"window id"_s))
            return {};
        QTest::qWait(100);
    }
    return u"openbox did not start: "_s + QString::fromLocal8Bit(windowManager_.readAllStandardError());
}

QProcessEnvironment XServer::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, display_);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    return environment;
}

QString XServer::run(const QString &program, const QStringList &arguments) const
{
    QProcess client;
    client.setProcessEnvironment(environment());
    client.start(program, arguments);
    if (!client.waitForFinished(10000) || client.exitCode() != 0)
        return {};
    return QString::fromUtf8(client.readAllStandardOutput()).trimmed();
}

QString XServer::waitForWindow(const QString &titlePattern) const
{
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        const QString found = visibleWindow(titlePattern);
        if (!found.isEmpty())
            return found;
        QTest::qWait(100);
    }
    return {};
}

QString XServer::visibleWindow(const QString &titlePattern) const
{
    return run(u"xdotool"_s, { u"search"_s, u"--onlyvisible"_s, u"--name"_s, titlePattern })
        .section(u'\n', 0, 0);
}

QString XServer::property(const QString &window, const QString &name) const
{
    return run(u"xprop"_s, { u"-id"_s, window, name });
}

QRect XServer::interior(const QString &window) const
{
    const QString info = run(u"xwininfo"_s, { u"-id"_s, window });
    const auto field = [&info](const QString &name) {
        return QRegularExpression(name + u": *(-?\\d+)"_s).match(info).captured(1).toInt();
    };
    return QRect(field(u"Absolute upper-left X"_s), field(u"Absolute upper-left Y"_s), field(u"Width"_s),
        field(u"Height"_s));
}

QRect XServer::frame(const QString &window) const
{
    QRect outer = interior(window);
    // "left, right, top, bottom"; absent where nothing frames the window.
    const QStringList extents = property(window, u"_NET_FRAME_EXTENTS"_s).section(u'=', 1).split(u',');
    if (extents.size() == 4)
        outer.adjust(-extents[0].toInt(), -extents[2].toInt(), extents[1].toInt(), extents[3].toInt());
    return outer;
}

QString XServer::icon(const QString &window) const
{
    return run(u"xprop"_s,
        { u"-id"_s, window, u"-notype"_s, u"-f"_s, u"_NET_WM_ICON"_s, u"32c"_s, u" = $0+"_s,
            u"_NET_WM_ICON"_s });
}

QColor XServer::pixel(int x, int y) const
{
    const QString text = run(u"import"_s,
        { u"-window"_s, u"root"_s, u"-crop"_s, u"1x1+%1+%2"_s.arg(x).arg(y), u"-depth"_s, u"8"_s,
            u"txt:-"_s });
    // "0,0: (r,g,b)": a colour name may stand where srgb() usually follows.
    const QRegularExpression values(
        u"^\\d+,\\d+: \\((\\d+),(\\d+),(\\d+)\\)"_s, QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = values.match(text);
    if (!match.hasMatch())
        return {};
    return QColor(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
}

}   // namespace support
