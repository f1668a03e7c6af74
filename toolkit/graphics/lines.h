#pragma once
// Lines, clipping and line and fill styles: the current point, segments clipped to the clip
// box in device units (request 2), runs of connected points (request 32), single points
// (request 26), the line type and the fill pattern settings.
#include <optional>
#include <initializer_list>
#include <span>
#include <string_view>

void igrmoveto(float x, float y);
void igrlineto(float x, float y);
void igrlinetorel(float dx, float dy);
void igrjoin(float x1, float y1, float x2, float y2);
void igrjoinrel(float x1, float y1, float dx, float dy);
void igrpoint(float x, float y);
void igrpointrel(float dx, float dy);
void igrpolyline(std::span<const float> x, std::span<const float> y, int n);
void igrlinetype(std::optional<int> type = std::nullopt);
void igrfillpattern(int style, std::optional<int> density = std::nullopt,
                    std::optional<int> angle = std::nullopt);
void yyline(float x1, float y1, float x2, float y2);
void yylini(float X1, float Y1, float X2, float Y2);
void yyrect(float X1, float Y1, float X2, float Y2);
// mode 0: positions in user units; any other mode: device units.
void yypline(std::span<const float> x, std::span<const float> y, int n, int mode);
void yyclip(float& X1, float& Y1, float& X2, float& Y2, int& visible);
bool yylin(float px, float py, float X1, float Y1, float X2, float Y2);
bool yybox(float X, float Y);
void yyfact(int solid, int& request);
void yyexch(int& a, int& b);

// The one check every public drawing routine makes of its numbers (coordinates, radii,
// angles, sizes): false, with error 16 reported under the routine's name, when any is NaN or
// infinite; the routine then draws nothing and leaves the current point alone.
bool yyfinite(std::string_view routine, std::initializer_list<float> values);
// The same for the first n points of a polyline or polygon (n cut to the arrays).
bool yyfinitepoints(std::string_view routine, std::span<const float> x, std::span<const float> y, int n);
