#pragma once
// platform/codepage.h: the toolkit's code page, Windows-1252, against the system's UTF-8.
//
// The border rule: the toolkit and the layer's interface hold every text in Windows-1252.
// Every text that comes in from the system (a chosen path, a folder listing, the environment,
// the working folder, a link's target, printer and font names) is converted into the code
// page here, and every text that goes out is converted back, by these routines and no other.
// A name that holds a character the code page has no byte for cannot be held: it is refused
// where it comes in (the choosers say which characters), never passed on with "?" in the
// character's place, which would name another file.
#include <cstddef>
#include <string>
#include <string_view>

namespace win {

// Windows-1252 text as UTF-8; the five bytes the code page leaves unassigned (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the C1 controls of the same number, so that every byte comes back.
std::string utf8FromCp1252(std::string_view text);
// UTF-8 text in Windows-1252, all or nothing: false (out unchanged) when the text is not
// well-formed UTF-8 (overlong forms, surrogates and values past U+10FFFF included) or holds a
// character the code page has no byte for. The C1 controls of the unassigned bytes come back.
bool cp1252FromUtf8Strict(std::string_view utf8, std::string& out);
// UTF-8 text in Windows-1252 for showing only: standin for each character the code page
// lacks and each malformed byte. Never a name to pass back to the system.
std::string cp1252FromUtf8Shown(std::string_view utf8, char standin = '?');
// The Windows-1252 byte of a Unicode character; -1 when the code page has none.
int cp1252OfUnicode(char32_t code);
// The Windows-1252 byte of a character of text (typed, or read from a template or a
// document); -1 when it has none. A C1 control is no character of text, though the round
// trip of names keeps the unassigned bytes as such controls.
int cp1252OfTextCharacter(char32_t code);
// The character of well-formed UTF-8 at text[i] and its length in bytes; 0 when the bytes
// there are no character (overlong forms, surrogates and values past U+10FFFF included).
std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& code);
// The Unicode character of a Windows-1252 byte (the unassigned bytes: their C1 controls).
char32_t unicodeOfCp1252(unsigned char byte);
// The characters of UTF-8 text that the code page cannot hold, as "U+0141 U+017A" (each
// once, in order; "bytes that are not UTF-8" for malformed text); empty when it holds all.
std::string unusableCharacters(std::string_view utf8);
// The one message every chooser gives for a name the program cannot use (in the code page,
// the name shown with "?" for each such character).
std::string unusableNameMessage(std::string_view utf8path);

// The status of a service given a name the code page cannot hold (Windows' "no mapping for
// the Unicode character in the target code page").
inline constexpr int ERROR_NO_UNICODE_TRANSLATION = 1113;

}  // namespace win
