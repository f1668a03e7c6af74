#pragma once
// Chart settings: per-set styles, colours and markers, positions of scales, labels, title
// and key, tick lengths and positions, scale angles and the 3-D view, decimal places,
// marker frequency, user tick positions and missing data. None of them reports: unusable
// values are clamped or ignored.
#include <optional>
#include <span>

struct SetStyle {
  std::optional<int> a = std::nullopt, b = std::nullopt, c = std::nullopt;
  std::optional<int> colour1 = std::nullopt, colour2 = std::nullopt;
};

void ipgstyle(int set, const SetStyle& style);
void ipgmarker(int set, int marker);
void ipgstyleoutline(int colour);
void ipggriddirection(int n);
void ipgelevation(float angle);
void ipgrotation(float angle);
void ipgxscaleangle(float angle, float textangle);
void ipgyscaleangle(float angle, float textangle);
void ipgzscaleangle(float angle, float textangle);
void ipgxscalepos(float position);
void ipgyscalepos(float position);
void ipgxlabelpos(float position);
void ipgylabelpos(float position);
void ipgzlabelpos(float position);
void ipgtitlepos(float position);
void ipgxkeypos(float position);
void ipgxticklength(float factor);
void ipgyticklength(float factor);
void ipgzticklength(float factor);
void ipgxtickpos1(float p1, float p2);
void ipgytickpos1(float p1, float p2);
void ipgxtickpos2(int scale, std::optional<float> position = std::nullopt);
void ipgytickpos2(int scale, std::optional<float> position = std::nullopt);
void ipgconfill2granul(int n);
void ipgmarkerfrequency(int first, int interval);
void ipgdecimalplaces(int n);
void ipgxuserscale(std::span<const float> positions, int n);
void ipgyuserscale(std::span<const float> positions, int n);
void ipgzuserscale(std::span<const float> positions, int n);
void ipgmissingdata(std::optional<float> value1 = std::nullopt,
                    std::optional<float> value2 = std::nullopt,
                    std::optional<double> value3 = std::nullopt);
// False for a missing value.
bool yypgdatar(float value);
