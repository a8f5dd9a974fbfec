#pragma once

#include <string>

#include "platform/FileTime.h"

// A file time as the Properties report shows it: the local date and time to the millisecond, or
// "(Unknown)".
std::string TimeText(const FILETIME& time);
