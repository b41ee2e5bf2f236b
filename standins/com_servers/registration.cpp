#include "standins/com_servers/registration.h"

#include <cstdint>

#include "text/utf16.h"

namespace velmora::standins {

namespace {

// {C0C91736-978D-425C-93C1-A4A7B9CDxxxx}, the last two bytes from the ProgID.
constexpr CLSID kCadClassBase = {
    0xc0c91736, 0x978d, 0x425c, {0x93, 0xc1, 0xa4, 0xa7, 0xb9, 0xcd, 0x44, 0x00}};

HKEY ClassesHive() { return RunningUnderWine() ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

std::wstring ClsidText(const CLSID& clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    return text;
}

bool SetValue(const std::wstring& path, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(ClassesHive(), path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const bool ok =
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       bytes) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

}  // namespace

const CLSID kExcelClassId = {
    0xb5f76e8b, 0xf805, 0x4199, {0xab, 0x31, 0x31, 0xe5, 0x0d, 0x27, 0xf4, 0xb0}};

CLSID CadClassId(std::string_view progId) {
    CLSID clsid = kCadClassBase;
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (char c : progId) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    clsid.Data4[6] = static_cast<unsigned char>(hash >> 8);
    clsid.Data4[7] = static_cast<unsigned char>(hash);
    return clsid;
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool RegisterProgId(std::string_view progId, const CLSID& clsid, std::wstring_view serverCommand) {
    const std::wstring classes = L"Software\\Classes\\";
    const std::wstring id = ClsidText(clsid);
    bool ok = SetValue(classes + Wide(progId), Wide(progId)) &&
              SetValue(classes + Wide(progId) + L"\\CLSID", id) &&
              SetValue(classes + L"CLSID\\" + id, Wide(progId)) &&
              SetValue(classes + L"CLSID\\" + id + L"\\ProgID", Wide(progId));
    if (ok && !serverCommand.empty()) {
        ok = SetValue(classes + L"CLSID\\" + id + L"\\LocalServer32", std::wstring(serverCommand));
    }
    return ok;
}

void UnregisterProgId(std::string_view progId, const CLSID& clsid) {
    const std::wstring classes = L"Software\\Classes\\";
    RegDeleteTreeW(ClassesHive(), (classes + Wide(progId)).c_str());
    RegDeleteTreeW(ClassesHive(), (classes + L"CLSID\\" + ClsidText(clsid)).c_str());
}

}  // namespace velmora::standins
