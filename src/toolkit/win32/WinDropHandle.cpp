#include "toolkit/win32/WinDropHandle.h"

#include "platform/win32/WideText.h"
#include "toolkit/DropBlock.h"

namespace {

std::string NameOf(const uint8_t* block, bool wide, const TDropName& name) {
  std::wstring text(name.Length, L'\0');
  if (wide) {
    for (size_t i = 0; i < name.Length; ++i)
      text[i] = wchar_t(DropBlockUnit(block, name.Offset + 2 * i));
  } else {
    const auto* bytes = reinterpret_cast<const char*>(block + name.Offset);
    text.resize(size_t(
        MultiByteToWideChar(CP_ACP, 0, bytes, int(name.Length), text.data(), int(text.size()))));
  }
  return WideToUtf8(text);
}

}  // namespace

TDropBlockNames ReadDropBlock(HGLOBAL block) {
  TDropBlockNames read;
  const SIZE_T size = block ? GlobalSize(block) : 0;
  const auto* bytes = size ? static_cast<const uint8_t*>(GlobalLock(block)) : nullptr;
  if (!bytes) return read;
  TDropBlock parsed;
  read.Malformed = !ParseDropBlock(bytes, size, parsed);
  read.Point = parsed.Point;
  read.Names.reserve(parsed.Names.size());
  for (const TDropName& name : parsed.Names) read.Names.push_back(NameOf(bytes, parsed.Wide, name));
  GlobalUnlock(block);
  return read;
}

THDropHandle::THDropHandle(HDROP drop) : THDropHandle(drop, ReadDropBlock(drop)) {}

THDropHandle::THDropHandle(HDROP drop, TDropBlockNames read)
    : TNamesDropHandle(std::move(read.Names), read.Point, read.Malformed), Drop(drop) {}

THDropHandle::~THDropHandle() { Finish(); }

void THDropHandle::Finish() {
  TNamesDropHandle::Finish();
  if (!Drop) return;
  DragFinish(Drop);
  Drop = nullptr;
}
