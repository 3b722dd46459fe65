#pragma once
// Date-time values as days since 1899-12-30 (fraction = time of day), by calendar arithmetic.
#include <string>

struct CivilDateTime {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0, msec = 0;
};

// False when the fields do not form a valid date and time.
bool EncodeDateTime(const CivilDateTime& c, double& out);
CivilDateTime DecodeDateTime(double dt);
// "yyyy-mm-dd hh:nn:ss".
std::string DateTimeToText(double dt);
double UnixTimeToLocalDateTime(long long seconds);
double NowDateTime();
