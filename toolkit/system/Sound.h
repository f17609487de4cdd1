#pragma once

#include <functional>

// In a namespace of its own: on Windows the system's MessageBeep has the same
// signature at global scope.
namespace toolkit {

// Plays the system sound for a message-box type: the system's own on Windows,
// the desktop's bell elsewhere.
void MessageBeep(unsigned type);

// Replaces what MessageBeep does (tests record the values played); an empty
// function restores the system sound.
void SetMessageBeepHook(std::function<void(unsigned)> hook);

}   // namespace toolkit
