#pragma once
// Text between the clipboard store and the desktop: the store keeps 8-bit Windows-1252 text
// with CR LF line ends, the desktop offers and takes UTF-8 with LF line ends.
#include <string>
#include <string_view>

namespace win::clipboard {

// Store text (up to its NUL) as desktop text: CR LF and a lone CR become LF. The bytes
// 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which the code page leaves unassigned, become the control
// characters of the same number so nothing is lost on the way back.
std::string desktopTextFromStore(std::string_view store);

// Desktop text as store text: every line end (LF, CR LF or CR) becomes CR LF; a character the
// code page has no byte for, and a malformed UTF-8 sequence, become '?'. No NUL is added.
std::string storeTextFromDesktop(std::string_view utf8);

}  // namespace win::clipboard
