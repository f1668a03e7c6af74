#pragma once
// Text state and font selection: character size, slant, rotation, justification,
// direction, font kind and face, spacing, the proportional width table, and text lengths.
#include <optional>
#include <string_view>

struct TextFontOptions {
  std::optional<int> family = std::nullopt;    // 1 stroke, 2 device, 100 named face, 101-104 fixed faces
  std::optional<int> type = std::nullopt;      // type flags: 1 bold, 2 italic, 4 underline, 8 background
  std::optional<float> width = std::nullopt;   // character width, taken when > 0
  std::optional<float> height = std::nullopt;  // character height, taken when > 0
  std::optional<std::string_view> name = std::nullopt;   // face name of face 0
  std::optional<int> spacing = std::nullopt;   // 0 the font's default, 1 fixed pitch, 2 table spacing
};

void WGrTextFont(const TextFontOptions& options);
void wgrtextorientation(std::optional<int> justification = std::nullopt,
                        std::optional<float> angle = std::nullopt,
                        std::optional<int> direction = std::nullopt,
                        std::optional<int> alignment = std::nullopt);
void igrcharjustify(std::string_view letter);
void igrcharrotate(float angle);
void igrchardirection(std::string_view letter);
float wgrtextlength(std::string_view text, std::optional<int> mode = std::nullopt);
void yychsize(float width, float height);
void yychdfont();
void yychrot(float angle);
void yychspace(int code);
// The code a character stands for in stroke text and the width table (32-127, 161-255).
int yychcode(char c);
// The proportional width of a mapped code.
float yychwidth(int code);
// The text state defaults that igrinit sets.
void yytextreset();
