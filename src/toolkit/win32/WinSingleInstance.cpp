#include "toolkit/win32/WinSingleInstance.h"

#include <sddl.h>

#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/Thread.h"
#include "platform/win32/WideText.h"
#include "toolkit/Application.h"
#include "toolkit/Instances.h"
#include "toolkit/win32/WinForm.h"
#include "toolkit/win32/WinTokens.h"

namespace {

// A request larger than this is not read: whole UTF-16 names of 32,767 characters, some thousands
// of them, still fit.
constexpr DWORD LargestRequest = 64u << 20;
constexpr DWORD PipeBuffer = 64u << 10;
// A window busy with another start's connection is waited for this long.
constexpr DWORD ConnectTimeoutMs = 10000;

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
  DWORD Found = 0;
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
  search.Found = process;
  return FALSE;
}

// Each parameter whole in UTF-16, ending in a zero.
std::wstring Packed(const std::vector<std::string>& params) {
  std::wstring packed;
  for (const std::string& param : params) packed += Utf8ToWide(param) + L'\0';
  return packed;
}

bool Unpack(const std::string& bytes, std::vector<std::string>& params) {
  if (bytes.size() % sizeof(wchar_t) != 0) return false;
  std::wstring packed(bytes.size() / sizeof(wchar_t), L'\0');
  std::memcpy(packed.data(), bytes.data(), bytes.size());
  if (!packed.empty() && packed.back() != L'\0') return false;
  for (size_t begin = 0; begin < packed.size();) {
    const size_t end = packed.find(L'\0', begin);
    params.push_back(WideToUtf8(packed.substr(begin, end - begin)));
    begin = end + 1;
  }
  return true;
}

enum class TTransfer { Failed, Whole, Part };

TTransfer Outcome(BOOL done) {
  if (done) return TTransfer::Whole;
  return GetLastError() == ERROR_MORE_DATA ? TTransfer::Part : TTransfer::Failed;
}

// One read or write of a pipe, waited for; Part when a message goes on past the buffer.
TTransfer Transfer(HANDLE pipe, bool write, void* data, DWORD size, DWORD& done) {
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const BOOL started = write ? WriteFile(pipe, data, size, nullptr, &overlapped)
                             : ReadFile(pipe, data, size, nullptr, &overlapped);
  TTransfer outcome = Outcome(started);
  if (started || GetLastError() == ERROR_IO_PENDING || outcome == TTransfer::Part)
    outcome = Outcome(GetOverlappedResult(pipe, &overlapped, &done, TRUE));
  CloseHandle(overlapped.hEvent);
  return outcome;
}

// One whole message of a message-mode pipe; false when it breaks off or grows past the limit.
bool ReadMessage(HANDLE pipe, std::string& message) {
  message.clear();
  for (;;) {
    std::vector<char> buffer(PipeBuffer);
    DWORD done = 0;
    const TTransfer read = Transfer(pipe, false, buffer.data(), PipeBuffer, done);
    if (read == TTransfer::Failed) return false;
    message.append(buffer.data(), done);
    if (message.size() > LargestRequest) return false;
    if (read == TTransfer::Whole) return true;
  }
}

std::string AnswerMessage(const THandOverAnswer& answer) {
  std::string message(sizeof(int32_t), '\0');
  const int32_t status = answer.Status;
  std::memcpy(message.data(), &status, sizeof status);
  return message + answer.Text;
}

// ---- The window's side.

// Only the window's own user may open the pipe; the token of whoever connects is judged as well.
struct TPipeSecurity {
  TPipeSecurity() {
    const std::wstring sddl =
        L"D:P(A;;GA;;;" + Utf8ToWide(TokenFactsOf(GetCurrentProcess()).User) + L")";
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                             &Descriptor, nullptr))
      Attributes.lpSecurityDescriptor = Descriptor;
  }
  ~TPipeSecurity() { LocalFree(Descriptor); }
  PSECURITY_DESCRIPTOR Descriptor = nullptr;
  SECURITY_ATTRIBUTES Attributes{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
};

HANDLE CreatePipeInstance(bool first, TPipeSecurity& security) {
  return CreateNamedPipeW(
      HandOverPipeName(GetCurrentProcessId()).c_str(),
      PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0),
      PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
      PIPE_UNLIMITED_INSTANCES, PipeBuffer, PipeBuffer, 0,
      security.Descriptor ? &security.Attributes : nullptr);
}

void Answer(HANDLE pipe, const THandOverAnswer& answer) {
  std::string message = AnswerMessage(answer);
  DWORD done = 0;
  if (Transfer(pipe, true, message.data(), DWORD(message.size()), done) == TTransfer::Whole)
    FlushFileBuffers(pipe);
}

// The reply may come long after, on the main thread; the connection's thread waits for it.
THandOverAnswer RequestAnswer(const std::vector<std::string>& params) {
  auto promise = std::make_shared<std::promise<THandOverAnswer>>();
  std::future<THandOverAnswer> answer = promise->get_future();
  auto replied = std::make_shared<bool>(false);
  MainThreadQueue().RunAndWait([&] {
    ReceiveForwardedParams(params, [promise, replied](const THandOverAnswer& given) {
      if (*replied) return;
      *replied = true;
      promise->set_value(given);
    });
  });
  return answer.get();
}

THandOverAnswer Judged(HANDLE pipe) {
  ULONG client = 0;
  if (!GetNamedPipeClientProcessId(pipe, &client) ||
      !MayHandOver(TokenFactsOf(GetCurrentProcess()), TokenFactsOfProcess(client)))
    return {hsRefused,
            "Refused: the window takes requests only from its own user, at its own integrity level "
            "or a higher one."};
  std::string request;
  std::vector<std::string> params;
  if (!ReadMessage(pipe, request) || !Unpack(request, params))
    return {hsNoOperation, "No operation.\r\n\r\nThe request is malformed."};
  return RequestAnswer(params);
}

void Serve(HANDLE pipe) {
  try {
    Answer(pipe, Judged(pipe));
  } catch (...) {
  }
  DisconnectNamedPipe(pipe);
  CloseHandle(pipe);
}

// Takes one connection after another until stopped; each is served on a thread of its own, so
// that requests wait in the window's queue, not in the pipe.
class TListener {
 public:
  TListener() : Stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    Thread = std::thread([this] { Listen(); });
  }
  ~TListener() {
    SetEvent(Stop);
    Thread.join();
    CloseHandle(Stop);
  }

 private:
  void Listen() {
    TPipeSecurity security;
    // A pipe of this name made before ours is not ours to serve.
    for (HANDLE pipe = CreatePipeInstance(true, security); pipe != INVALID_HANDLE_VALUE;
         pipe = CreatePipeInstance(false, security)) {
      if (!Connected(pipe)) {
        CloseHandle(pipe);
        return;
      }
      std::thread([pipe] { Serve(pipe); }).detach();
    }
  }

  bool Connected(HANDLE pipe) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool connected = ConnectNamedPipe(pipe, &overlapped) || GetLastError() == ERROR_PIPE_CONNECTED;
    if (!connected && GetLastError() == ERROR_IO_PENDING) {
      const HANDLE events[] = {overlapped.hEvent, Stop};
      DWORD done = 0;
      if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0)
        CancelIoEx(pipe, &overlapped);
      connected = GetOverlappedResult(pipe, &overlapped, &done, TRUE) != FALSE;
    }
    CloseHandle(overlapped.hEvent);
    return connected && WaitForSingleObject(Stop, 0) == WAIT_TIMEOUT;
  }

  HANDLE Stop;
  std::thread Thread;
};

std::unique_ptr<TListener>& Listener() {
  static std::unique_ptr<TListener> listener;
  return listener;
}

// ---- The starting side.

HANDLE OpenPipe(DWORD process) {
  const std::wstring name = HandOverPipeName(process);
  for (int attempt = 0; attempt < 2; ++attempt) {
    // The window may tell who connected, not act as this process.
    const HANDLE pipe = CreateFileW(
        name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
        FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) return pipe;
    if (GetLastError() != ERROR_PIPE_BUSY || !WaitNamedPipeW(name.c_str(), ConnectTimeoutMs)) break;
  }
  return INVALID_HANDLE_VALUE;
}

// The pipe is the window's own, not one another program made under its name.
bool ServedBy(HANDLE pipe, DWORD process) {
  ULONG server = 0;
  return GetNamedPipeServerProcessId(pipe, &server) && server == process;
}

THandOverAnswer Exchange(HANDLE pipe, const std::vector<std::string>& params) {
  DWORD mode = PIPE_READMODE_MESSAGE;
  SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr);
  std::wstring packed = Packed(params);
  DWORD written = 0;
  std::string message;
  // A refusal comes before the request is read, and breaks off the writing.
  Transfer(pipe, true, packed.data(), DWORD(packed.size() * sizeof(wchar_t)), written);
  if (!ReadMessage(pipe, message) || message.size() < sizeof(int32_t))
    return {hsNoAnswer, "The window ended before it answered."};
  int32_t status = 0;
  std::memcpy(&status, message.data(), sizeof status);
  return {status, message.substr(sizeof status)};
}

}  // namespace

std::wstring HandOverPipeName(DWORD processId) {
  return L"\\\\.\\pipe\\Brevantor-" + std::to_wstring(processId);
}

void PlatformTakeRequests(bool take) {
  if (take && !Listener())
    Listener() = std::make_unique<TListener>();
  else if (!take)
    Listener().reset();
}

std::optional<THandOverAnswer> ForwardToRunningInstance(const std::vector<std::string>& params) {
  TSearch search;
  if (!IdentityOf(Utf8ToWide(Application().ExeName()), search.Program)) return std::nullopt;
  EnumWindows(MatchForm, reinterpret_cast<LPARAM>(&search));
  if (!search.Found) return std::nullopt;
  const HANDLE pipe = OpenPipe(search.Found);
  if (pipe == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<THandOverAnswer> answer;
  if (ServedBy(pipe, search.Found)) {
    // The window may then come to the front, as it does for a drop.
    AllowSetForegroundWindow(search.Found);
    answer = Exchange(pipe, params);
  }
  CloseHandle(pipe);
  return answer;
}

namespace {

// A console takes the text in UTF-16, whatever its code page; a file or pipe gets UTF-8.
void WriteTo(HANDLE output, const std::string& text) {
  DWORD done = 0;
  DWORD mode = 0;
  if (!GetConsoleMode(output, &mode)) {
    WriteFile(output, text.data(), DWORD(text.size()), &done, nullptr);
    return;
  }
  const std::wstring wide = Utf8ToDisplayWide(text);
  WriteConsoleW(output, wide.data(), DWORD(wide.size()), &done, nullptr);
}

}  // namespace

// A program of the window subsystem has output handles only where its caller redirected them;
// otherwise it borrows the console of the process that started it, if that has one.
void TellCaller(const std::string& text) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output && output != INVALID_HANDLE_VALUE) return WriteTo(output, text);
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
  if (console != INVALID_HANDLE_VALUE) {
    WriteTo(console, text);
    CloseHandle(console);
  }
  FreeConsole();
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
