#pragma once
// Program entry and toolkit start-up: the one-time winitialise that gives the toolkit
// state record its starting values from the environment ("TESSAR", "TDEV", "TESSINIT",
// "TESSDEBUG", "TEMP"/"TMP") and the INI file, the command-line words, and option letters.
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

// Command-line word n into word (cut or blank-padded); word 0 is the program's full path.
// Returns n when word n exists, else the number of the last word (-1 for an empty line),
// leaving word untouched. A negative n only fills the cache and counts.
int yyargs(int n, std::string& word);
// True when the first character of letter, or failing that its lower-case form, occurs in
// options.
bool yyopt(std::string_view options, std::string_view letter);

namespace tw::test {
// Forgets the start-up sentinel and the command-line cache, so that a test can run
// start-up again as a new process would.
void resetStartup();
}  // namespace tw::test
