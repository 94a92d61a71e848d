#include "WinCeTime.h"

#include "HostClock.h"

#include <ctime>

namespace {

// Days from 1601-01-01 to 1970-01-01.
constexpr int64_t kDaysFrom1601To1970 = 134774;
constexpr int64_t kIntervalsPerMs = 10000;
constexpr int64_t kMsPerDay = 86400000;

// Days since 1970-01-01 of a proleptic Gregorian date (civil calendar).
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

}  // namespace

DWORD GetTickCount() { return HostClock::Ticks(); }

void GetSystemTime(SYSTEMTIME* out) {
    if (out == nullptr) return;
    const uint64_t ms = HostClock::UnixMillis();
    const time_t seconds = static_cast<time_t>(ms / 1000u);
    tm fields{};
    gmtime_r(&seconds, &fields);
    out->wYear = static_cast<WORD>(fields.tm_year + 1900);
    out->wMonth = static_cast<WORD>(fields.tm_mon + 1);
    out->wDayOfWeek = static_cast<WORD>(fields.tm_wday);
    out->wDay = static_cast<WORD>(fields.tm_mday);
    out->wHour = static_cast<WORD>(fields.tm_hour);
    out->wMinute = static_cast<WORD>(fields.tm_min);
    out->wSecond = static_cast<WORD>(fields.tm_sec);
    out->wMilliseconds = static_cast<WORD>(ms % 1000u);
}

bool SystemTimeToFileTime(const SYSTEMTIME* in, FILETIME* out) {
    if (in == nullptr || out == nullptr) return false;
    if (in->wYear < 1601 || in->wMonth < 1 || in->wMonth > 12 || in->wDay < 1 || in->wDay > 31 ||
        in->wHour > 23 || in->wMinute > 59 || in->wSecond > 59 || in->wMilliseconds > 999) {
        return false;
    }
    const int64_t days = DaysFromCivil(in->wYear, in->wMonth, in->wDay) + kDaysFrom1601To1970;
    const int64_t ms = days * kMsPerDay + in->wHour * 3600000LL + in->wMinute * 60000LL +
                       in->wSecond * 1000LL + in->wMilliseconds;
    const uint64_t intervals = static_cast<uint64_t>(ms * kIntervalsPerMs);
    out->dwLowDateTime = static_cast<DWORD>(intervals & 0xFFFFFFFFu);
    out->dwHighDateTime = static_cast<DWORD>(intervals >> 32);
    return true;
}
