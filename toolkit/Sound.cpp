#include "Sound.h"

#include <QApplication>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

std::function<void(UINT)> &beepHook()
{
    static std::function<void(UINT)> hook;
    return hook;
}

}   // namespace

namespace toolkit {

void MessageBeep(UINT type)
{
    if (beepHook()) {
        beepHook()(type);
        return;
    }
#ifdef Q_OS_WIN
    ::MessageBeep(type);
#else
    Q_UNUSED(type)
    QApplication::beep();
#endif
}

void SetMessageBeepHook(std::function<void(UINT)> hook)
{
    beepHook() = std::move(hook);
}

}   // namespace toolkit
