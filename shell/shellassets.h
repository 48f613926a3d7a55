#pragma once

// The pictures built into the program: the icon that every window carries and
// the maker's logo on the splash and About windows.

class QIcon;
class QPixmap;

[[nodiscard]] QIcon ProgramIcon();
[[nodiscard]] QPixmap LogoPicture();
