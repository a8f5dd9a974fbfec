#pragma once

#include <cstdint>

// Values of the Win32 API that the portable code needs, under names of their own so that they
// never collide with the macros of the Windows headers.

// Message-box styles and the buttons a box returns.
constexpr int mbOk = 0x00;
constexpr int mbOkCancel = 0x01;
constexpr int mbIconQuestion = 0x20;
constexpr int mbIconExclamation = 0x30;
constexpr int mbIconInformation = 0x40;
constexpr int mbDefButton1 = 0x00;
constexpr int idOk = 1;
constexpr int idCancel = 2;

// File attributes.
constexpr uint32_t faReadOnly = 0x01;
constexpr uint32_t faHidden = 0x02;
constexpr uint32_t faSystem = 0x04;
constexpr uint32_t faDirectory = 0x10;
constexpr uint32_t faArchive = 0x20;
constexpr uint32_t faNormal = 0x80;
constexpr uint32_t faTemporary = 0x100;
constexpr uint32_t faReparsePoint = 0x400;
constexpr uint32_t faInvalid = 0xFFFFFFFF;

// Keys.
constexpr int vkEscape = 0x1B;
