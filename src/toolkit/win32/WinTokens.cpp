#include "toolkit/win32/WinTokens.h"

#include <sddl.h>

#include <vector>

#include "platform/win32/WideText.h"

namespace {

// One class of the token's information, in a buffer of its own size; empty when refused.
std::vector<BYTE> TokenInformation(HANDLE process, TOKEN_INFORMATION_CLASS kind) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return {};
  DWORD size = 0;
  GetTokenInformation(token, kind, nullptr, 0, &size);
  std::vector<BYTE> information(size);
  if (!size || !GetTokenInformation(token, kind, information.data(), size, &size))
    information.clear();
  CloseHandle(token);
  return information;
}

std::string SidText(PSID sid) {
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(sid, &text)) return "";
  const std::string converted = WideToUtf8(text);
  LocalFree(text);
  return converted;
}

}  // namespace

DWORD IntegrityOf(HANDLE process) {
  const std::vector<BYTE> label = TokenInformation(process, TokenIntegrityLevel);
  if (label.empty()) return 0;
  const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
  return *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1);
}

TTokenFacts TokenFactsOf(HANDLE process) {
  const std::vector<BYTE> user = TokenInformation(process, TokenUser);
  if (user.empty()) return {};
  TTokenFacts facts;
  facts.User = SidText(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
  facts.Integrity = IntegrityOf(process);
  facts.Known = !facts.User.empty() && facts.Integrity != 0;
  return facts;
}

TTokenFacts TokenFactsOfProcess(DWORD processId) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return {};
  const TTokenFacts facts = TokenFactsOf(process);
  CloseHandle(process);
  return facts;
}

bool RunsElevated() {
  const std::vector<BYTE> elevation = TokenInformation(GetCurrentProcess(), TokenElevation);
  return elevation.size() >= sizeof(TOKEN_ELEVATION) &&
         reinterpret_cast<const TOKEN_ELEVATION*>(elevation.data())->TokenIsElevated != 0;
}
