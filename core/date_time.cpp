#include "core/date_time.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date.
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

constexpr long long kEpochOffset = 25569;  // days from 1899-12-30 to 1970-01-01

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

bool EncodeDateTime(const CivilDateTime& c, double& out) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (c.year < 1 || c.year > 9999 || c.month < 1 || c.month > 12 || c.day < 1) return false;
    int dim = kDays[c.month - 1] + (c.month == 2 && leap(c.year) ? 1 : 0);
    if (c.day > dim || c.hour < 0 || c.hour > 23 || c.minute < 0 || c.minute > 59 || c.second < 0 ||
        c.second > 59 || c.msec < 0 || c.msec > 999)
        return false;
    long long days = daysFromCivil(c.year, static_cast<unsigned>(c.month), static_cast<unsigned>(c.day)) + kEpochOffset;
    double frac = (c.hour * 3600000.0 + c.minute * 60000.0 + c.second * 1000.0 + c.msec) / 86400000.0;
    // Before 1899-12-30 the fraction counts away from zero, as the date-time type does.
    out = days >= 0 ? days + frac : days - frac;
    return true;
}

CivilDateTime DecodeDateTime(double dt) {
    CivilDateTime c;
    double days = std::trunc(dt);
    double frac = std::fabs(dt - days);
    long long ms = std::llround(frac * 86400000.0);
    if (ms >= 86400000) {
        ms -= 86400000;
        days += dt >= 0 ? 1 : -1;
    }
    civilFromDays(static_cast<long long>(days) - kEpochOffset, c.year, c.month, c.day);
    c.hour = static_cast<int>(ms / 3600000);
    c.minute = static_cast<int>(ms / 60000 % 60);
    c.second = static_cast<int>(ms / 1000 % 60);
    c.msec = static_cast<int>(ms % 1000);
    return c;
}

std::string DateTimeToText(double dt) {
    CivilDateTime c = DecodeDateTime(dt);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day, c.hour, c.minute,
                  c.second);
    return buf;
}

double UnixTimeToLocalDateTime(long long seconds) {
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tmv{};
    localtime_r(&t, &tmv);
    CivilDateTime c{tmv.tm_year + 1900, tmv.tm_mon + 1, tmv.tm_mday, tmv.tm_hour, tmv.tm_min,
                    std::min(tmv.tm_sec, 59), 0};
    double out = 0;
    EncodeDateTime(c, out);
    return out;
}

double NowDateTime() { return UnixTimeToLocalDateTime(static_cast<long long>(std::time(nullptr))); }
