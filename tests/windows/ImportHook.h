#pragma once

#include <cstring>
#include <windows.h>

// Points one entry of this executable's import table at another function while it
// lives, so a test sees what the code linked into the executable passes to the
// system, and can still hand the call on to the system's own function.
namespace windows_test {

class ImportHook {
public:
    ImportHook(const char *library, const char *function, void *replacement)
    {
        auto *base = reinterpret_cast<BYTE *>(::GetModuleHandleW(nullptr));
        const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
        const auto *headers = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY &imports
            = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto *module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress);
             imports.VirtualAddress != 0 && module->Name != 0; ++module) {
            if (::_stricmp(reinterpret_cast<const char *>(base + module->Name), library) != 0)
                continue;
            auto *name = reinterpret_cast<IMAGE_THUNK_DATA *>(base + module->OriginalFirstThunk);
            auto *entry = reinterpret_cast<IMAGE_THUNK_DATA *>(base + module->FirstThunk);
            for (; name->u1.AddressOfData != 0; ++name, ++entry) {
                if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)
                    || std::strcmp(
                           reinterpret_cast<const IMAGE_IMPORT_BY_NAME *>(base + name->u1.AddressOfData)
                               ->Name,
                           function)
                        != 0)
                    continue;
                entry_ = &entry->u1.Function;
                original_ = reinterpret_cast<void *>(*entry_);
                set(replacement);
                return;
            }
        }
    }
    ~ImportHook()
    {
        if (entry_ != nullptr)
            set(original_);
    }
    ImportHook(const ImportHook &) = delete;
    ImportHook &operator=(const ImportHook &) = delete;

    // False when the executable does not import the function from that library.
    bool installed() const { return entry_ != nullptr; }
    template <typename Function> Function original() const { return reinterpret_cast<Function>(original_); }

private:
    void set(void *function)
    {
        DWORD protection = 0;
        ::VirtualProtect(entry_, sizeof *entry_, PAGE_READWRITE, &protection);
        *entry_ = reinterpret_cast<ULONG_PTR>(function);
        ::VirtualProtect(entry_, sizeof *entry_, protection, &protection);
    }

    ULONG_PTR *entry_ = nullptr;
    void *original_ = nullptr;
};

}   // namespace windows_test
