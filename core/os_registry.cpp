// Operating-system services: the registry. ROOT is the value of a predefined
// key handle (HKEY_CURRENT_USER and the like); STATUS is the registry result.
#include "core/os_services.h"

#include <windows.h>

#include <cstdint>

namespace {

HKEY ToKey(int root)
{
    return reinterpret_cast<HKEY>(static_cast<intptr_t>(root));
}

} // namespace

void OsRegistryDeleteKey(int root, int& status, const char* subkey)
{
    status = static_cast<int>(RegDeleteKeyA(ToKey(root), subkey));
}

void OsRegistryDeleteValue(int root, int& status, const char* subkey, const char* valueName)
{
    HKEY key;
    if (RegOpenKeyExA(ToKey(root), subkey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
        status = 2;
        return;
    }
    status = static_cast<int>(RegDeleteValueA(key, valueName));
    RegCloseKey(key);
}

void OsRegistryRead(int root, int& type, int& size, const char* subkey, const char* valueName,
                    void* data)
{
    HKEY key;
    if (RegOpenKeyExA(ToKey(root), subkey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    DWORD t = 0;
    DWORD n = size > 0 ? static_cast<DWORD>(size) : 0;
    LONG r = RegQueryValueExA(key, valueName, nullptr, &t, n > 0 ? static_cast<BYTE*>(data) : nullptr, &n);
    RegCloseKey(key);
    if (r == ERROR_SUCCESS || r == ERROR_MORE_DATA) {
        type = static_cast<int>(t);
        size = static_cast<int>(n);
    } else {
        type = -2;
        size = 0;
    }
}

void OsRegistryWrite(int root, int type, int& status, const char* subkey, const char* valueName,
                     const void* data, int size)
{
    HKEY key;
    LONG r = RegCreateKeyExA(ToKey(root), subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                             nullptr, &key, nullptr);
    if (r != ERROR_SUCCESS) {
        status = static_cast<int>(r);
        return;
    }
    status = static_cast<int>(RegSetValueExA(key, valueName, 0, static_cast<DWORD>(type),
                                             static_cast<const BYTE*>(data),
                                             size > 0 ? static_cast<DWORD>(size) : 0));
    RegCloseKey(key);
}
