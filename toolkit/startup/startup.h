#pragma once
// Program entry and toolkit start-up: the one-time winitialise that gives the toolkit
// state record its starting values from the environment ("TESSAR", "TDEV", "TESSINIT",
// "TESSDEBUG", "TEMP"/"TMP") and the INI file. The command-line words (yyargs) and option
// letters (yyopt) are the operating-system layer's (toolkit/os/opsys.h).
#include <optional>
#include <string>
#include <string_view>

// Runs the application's main program; reports an escaping fault on the standard error and
// then returns 3; returns 1 when the main program returns.
int WinMain(void (*mainprogram)());

// Toolkit start-up, once per process (later calls return at once). inifile names an INI
// file to use instead of the one found by the search; blank or absent means none.
void winitialise(std::optional<std::string_view> inifile = std::nullopt);
// Its first step: path separator, decimal character, home directory, LFNGEN.
void yywinitialise();

namespace tw::test {
// Forgets the start-up sentinel and the command-line cache (tw::test::resetCommandLine), so that a test can run
// start-up again as a new process would.
void resetStartup();
}  // namespace tw::test
