#include "platform/win32/registry_store.h"

#include <windows.h>

#include <vector>

#include "platform/win32/unicode_text.h"

namespace velun::win32 {
namespace {

std::wstring SectionKeyPath(const std::string& application, const std::string& section) {
  return L"Software\\VB and VBA Program Settings\\" + Utf8ToWide(application) + L"\\" +
         Utf8ToWide(section);
}

class OpenKey {
 public:
  explicit OpenKey(HKEY key = nullptr) : key_(key) {}
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  ~OpenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  HKEY* Receive() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_;
};

}  // namespace

std::string RegistrySettingsStore::Read(const std::string& application, const std::string& section,
                                        const std::string& key, const std::string& defaultText) {
  OpenKey sectionKey;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionKeyPath(application, section).c_str(), 0,
                    KEY_QUERY_VALUE, sectionKey.Receive()) != ERROR_SUCCESS)
    return defaultText;
  const std::wstring name = Utf8ToWide(key);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(sectionKey.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS)
    return defaultText;
  // A value may grow between the two calls; ask again until it fits.
  std::vector<BYTE> data;
  LSTATUS status = ERROR_MORE_DATA;
  while (status == ERROR_MORE_DATA) {
    data.resize(size + sizeof(wchar_t));
    size = static_cast<DWORD>(data.size());
    status = RegQueryValueExW(sectionKey.Get(), name.c_str(), nullptr, &type, data.data(), &size);
  }
  if (status != ERROR_SUCCESS) return defaultText;

  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
      std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
      // Stored strings usually carry their terminating null; a hand-made one may not.
      const std::size_t end = text.find(L'\0');
      if (end != std::wstring::npos) text.resize(end);
      return WideToUtf8(text);
    }
    case REG_DWORD:
      if (size < sizeof(DWORD)) return defaultText;
      return std::to_string(*reinterpret_cast<const DWORD*>(data.data()));
    case REG_QWORD:
      if (size < sizeof(unsigned long long)) return defaultText;
      return std::to_string(*reinterpret_cast<const unsigned long long*>(data.data()));
    default:
      return defaultText;
  }
}

void RegistrySettingsStore::Write(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& text) {
  OpenKey sectionKey;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, SectionKeyPath(application, section).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, sectionKey.Receive(),
                      nullptr) != ERROR_SUCCESS)
    return;  // not fatal: the program ends as usual with what could be written
  const std::wstring value = Utf8ToWide(text);
  RegSetValueExW(sectionKey.Get(), Utf8ToWide(key).c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace velun::win32
