// The Jet functions the system's SQL calls, as SQLite functions of one
// connection: Hour, Minute, Second, Year, Month, Day, Weekday, DatePart,
// DateSerial, and LIKE with Jet's wildcards.
//
// Date arguments may be stored dates, Jet date texts or automation-date
// numbers; NULL gives NULL and anything else is a type mismatch. DateSerial
// returns a stored date text.
#pragma once

#include <string_view>

struct sqlite3;

namespace tf::db {

void RegisterJetFunctions(sqlite3* db);

// Jet's LIKE: * any run, ? one character, # one digit, [abc] [a-z] [!a-z]
// one of (or none of) a set; letters match without regard to case. An
// escape character (0 for none) makes the next pattern character literal.
bool JetLike(std::string_view pattern, std::string_view text, char32_t escape = 0);

}  // namespace tf::db
