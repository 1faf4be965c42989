// Just enough of the Windows API for the registry preset store to build on
// Linux for fuzzing: the registry calls it makes, answered from an in-memory
// registry (fake_registry.cpp) with the real calls' rules for short buffers,
// missing keys and the end of an enumeration.
#pragma once

#include <cstdint>

#define WINAPI
typedef int32_t LONG;
typedef uint32_t DWORD;
typedef uint8_t BYTE;
typedef uint32_t UINT;
typedef DWORD REGSAM;
typedef DWORD* LPDWORD;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef struct FakeKey* HKEY;
typedef HKEY* PHKEY;
typedef struct FakeWindow* HWND;
typedef struct FakeInstance* HINSTANCE;
struct SECURITY_ATTRIBUTES;

#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(uintptr_t(0x80000002)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(uintptr_t(0x80000001)))

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr UINT MB_OK = 0;

LONG RegOpenKeyExA(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key);
LONG RegCreateKeyExA(HKEY root, LPCSTR path, DWORD reserved, LPSTR cls, DWORD options, REGSAM access,
                     const SECURITY_ATTRIBUTES* security, PHKEY key, LPDWORD disposition);
LONG RegCloseKey(HKEY key);
LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, BYTE* data, LPDWORD size);
LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG RegDeleteValueA(HKEY key, LPCSTR name);
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD reserved,
                   LPDWORD type, BYTE* data, LPDWORD size);
LONG RegQueryInfoKeyA(HKEY key, LPSTR cls, LPDWORD classLength, LPDWORD reserved, LPDWORD subKeys,
                      LPDWORD maxSubKey, LPDWORD maxClass, LPDWORD values, LPDWORD maxValueName,
                      LPDWORD maxValue, LPDWORD securityDescriptor, void* lastWrite);
int LoadStringA(HINSTANCE module, UINT id, LPSTR text, int size);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
