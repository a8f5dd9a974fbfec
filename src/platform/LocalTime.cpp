#include "platform/LocalTime.h"

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool Within(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

bool IsCalendarTime(const TLocalTime& local) {
  return Within(local.Year, 1601, 30827) && Within(local.Month, 1, 12) &&
         Within(local.Day, 1, DaysInMonth(local.Year, local.Month)) && Within(local.Hour, 0, 23) &&
         Within(local.Minute, 0, 59) && Within(local.Second, 0, 59) &&
         Within(local.Milliseconds, 0, 999);
}
