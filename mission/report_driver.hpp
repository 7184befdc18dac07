#pragma once
// The report driver: the program's main body.

namespace mission {

// Asks where the report goes, writes it there and ends the run.  Never
// returns: its last act is the normal end.
[[noreturn]] void reportDriver();

}  // namespace mission
