#include "toolkit/win32/WinSingleInstance.h"

#include <deque>
#include <string>
#include <vector>

#include "platform/win32/WideText.h"
#include "toolkit/Application.h"
#include "toolkit/Instances.h"
#include "toolkit/win32/WinForm.h"

namespace {

// Tells the program's hand-over apart from any other WM_COPYDATA a window may receive.
constexpr ULONG_PTR ParamsTag = 0x42524550;
constexpr UINT RunForwardedMessage = WM_APP + 1;
// A window that does not answer in this time is taken as hung; the start then runs on its own.
constexpr UINT AnswerTimeoutMs = 10000;

std::deque<std::vector<std::string>>& Pending() {
  static std::deque<std::vector<std::string>> pending;
  return pending;
}

// Volume and file index: the same file whatever path, short name or link it was started by.
struct TFileIdentity {
  DWORD Volume = 0, High = 0, Low = 0;
  bool operator==(const TFileIdentity&) const = default;
};

bool IdentityOf(const std::wstring& path, TFileIdentity& identity) {
  const HANDLE file =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(file, &info) != FALSE;
  CloseHandle(file);
  identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
  return known;
}

std::wstring ProgramFileOf(DWORD process) {
  const HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  if (!handle) return L"";
  std::wstring path(32768, L'\0');
  DWORD length = DWORD(path.size());
  if (!QueryFullProcessImageNameW(handle, 0, path.data(), &length)) length = 0;
  CloseHandle(handle);
  path.resize(length);
  return path;
}

struct TSearch {
  TFileIdentity Program;
  HWND Found = nullptr;
};

// Windows come top first, so the first match is the one the user used last.
BOOL CALLBACK MatchForm(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<TSearch*>(data);
  wchar_t className[std::size(FormClass) + 1];
  if (!GetClassNameW(window, className, int(std::size(className))) ||
      lstrcmpW(className, FormClass) != 0 || !IsWindowVisible(window))
    return TRUE;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  TFileIdentity identity;
  if (process == GetCurrentProcessId() || !IdentityOf(ProgramFileOf(process), identity) ||
      !(identity == search.Program))
    return TRUE;
  search.Found = window;
  return FALSE;
}

// Each parameter whole in UTF-16, ending in a zero.
std::wstring Packed(const std::vector<std::string>& params) {
  std::wstring packed;
  for (const std::string& param : params) packed += Utf8ToWide(param) + L'\0';
  return packed;
}

bool Unpack(const COPYDATASTRUCT& data, std::vector<std::string>& params) {
  if (data.dwData != ParamsTag || !data.lpData || data.cbData % sizeof(wchar_t) != 0) return false;
  const std::wstring_view packed(static_cast<const wchar_t*>(data.lpData),
                                 data.cbData / sizeof(wchar_t));
  if (!packed.empty() && packed.back() != L'\0') return false;
  for (size_t begin = 0; begin < packed.size();) {
    const size_t end = packed.find(L'\0', begin);
    params.push_back(WideToUtf8(std::wstring(packed.substr(begin, end - begin))));
    begin = end + 1;
  }
  return true;
}

}  // namespace

bool ForwardToRunningInstance(const std::vector<std::string>& params) {
  TSearch search;
  if (!IdentityOf(Utf8ToWide(Application().ExeName()), search.Program)) return false;
  EnumWindows(MatchForm, reinterpret_cast<LPARAM>(&search));
  if (!search.Found) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(search.Found, &process);
  // The window may then come to the front, as it does for a drop.
  AllowSetForegroundWindow(process);
  const std::wstring packed = Packed(params);
  COPYDATASTRUCT data{ParamsTag, DWORD(packed.size() * sizeof(wchar_t)),
                      const_cast<wchar_t*>(packed.data())};
  DWORD_PTR taken = FALSE;
  return SendMessageTimeoutW(search.Found, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, AnswerTimeoutMs, &taken) &&
         taken == TRUE;
}

// The parameters are taken at once and run from the form's own queue, so that a refusal or a
// report shown then never holds the other start, which waits for the answer.
bool HandleForwardedParams(HWND form, UINT message, LPARAM lParam, LRESULT& result) {
  if (message == WM_COPYDATA) {
    std::vector<std::string> params;
    if (!Unpack(*reinterpret_cast<const COPYDATASTRUCT*>(lParam), params)) return false;
    Pending().push_back(std::move(params));
    PostMessageW(form, RunForwardedMessage, 0, 0);
    result = TRUE;
    return true;
  }
  if (message != RunForwardedMessage || Pending().empty()) return false;
  const std::vector<std::string> params = std::move(Pending().front());
  Pending().pop_front();
  ReceiveForwardedParams(params);
  result = 0;
  return true;
}

std::string FullPathOf(const std::string& path) {
  const std::wstring wide = Utf8ToWide(path);
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return WideToUtf8(full);
}
