#pragma once

// Who makes the sign and its console: the texts of the splash and About
// windows and the web page that the Help menu opens.

#include <QLatin1StringView>

namespace MakerInfo {

inline constexpr QLatin1StringView Company("Vantor Signs");
inline constexpr QLatin1StringView LegalName("Vantor Signs Ltd.");
inline constexpr QLatin1StringView Street("Unit 4, Meridian Park");
inline constexpr QLatin1StringView CityLine("Northfield NF1 2AB");
inline constexpr QLatin1StringView Telephone("01632 960555");
inline constexpr QLatin1StringView Fax("01632 960556");
inline constexpr QLatin1StringView EMail("info@vantor.example");
inline constexpr QLatin1StringView WebAddress("https://www.vantor.example/");
inline constexpr QLatin1StringView Copyright("Copyright (c) 2026 Vantor Signs Ltd.");

} // namespace MakerInfo
