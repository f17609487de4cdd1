#include "system/Sound.h"

#include <QApplication>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

std::function<void(unsigned)> &beepHook()
{
    static std::function<void(unsigned)> hook;
    return hook;
}

}   // namespace

namespace toolkit {

void MessageBeep(unsigned type)
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

void SetMessageBeepHook(std::function<void(unsigned)> hook)
{
    beepHook() = std::move(hook);
}

}   // namespace toolkit
