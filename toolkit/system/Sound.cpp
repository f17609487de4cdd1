#include "system/Sound.h"

#include <QApplication>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

std::function<void(unsigned)> &BeepHook()
{
    static std::function<void(unsigned)> hook;
    return hook;
}

}   // namespace

namespace toolkit {

void MessageBeep(unsigned type)
{
    if (BeepHook()) {
        BeepHook()(type);
        return;
    }
#ifdef Q_OS_WIN
    ::MessageBeep(type);
#else
    Q_UNUSED(type)
    QApplication::beep();
#endif
}

void SetMessageBeepHook(std::function<void(unsigned)> hook) { BeepHook() = std::move(hook); }

}   // namespace toolkit
