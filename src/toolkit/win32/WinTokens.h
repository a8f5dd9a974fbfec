#pragma once

#include <windows.h>

#include "toolkit/Instances.h"

// What a process's token says: who it runs as and how much the system trusts it.

// The mandatory integrity level of a process (0x2000 medium, 0x3000 high); 0 when it cannot be
// told.
DWORD IntegrityOf(HANDLE process);
// Its user as a SID string, with its integrity level; unknown when the token cannot be read.
TTokenFacts TokenFactsOf(HANDLE process);
TTokenFacts TokenFactsOfProcess(DWORD processId);
// Whether this process runs as administrator with the rights that gives (elevated).
bool RunsElevated();
