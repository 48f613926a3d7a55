#!/usr/bin/env python3
"""Draws the program icon and the maker's logo and writes them beside this script.

    icon.png  32 x 32, 16-colour palette, transparent around the board
    icon.ico  the same picture as a 4-bit Windows icon, for the program file
    icon.svg  the same picture as squares on a 32 x 32 grid, for any size
    hicolor/icon-<n>.png  the SVG rendered at the other sizes the desktop's
              icon theme asks for (by rsvg-convert, from librsvg2-bin)
    logo.jpg  129 x 47, the maker's logo

The icon is pixel art, drawn here dot by dot so that it stays crisp at its one
size; the logo is drawn by ImageMagick ("convert" on the PATH), whose text
rendering with Liberation Sans Bold keeps the name clean. Run it again after a
change and commit the script together with the files it writes.
"""

import pathlib
import subprocess
import tempfile

HERE = pathlib.Path(__file__).resolve().parent

ICON_SIZE = 32

# Palette of the icon: one character per colour in the picture below.
ICON_COLOURS = {
    ".": None,         # transparent
    "F": "#3C3C3C",    # frame of the board
    "H": "#6E6E6E",    # light edge of the frame
    "S": "#1C1C1C",    # shadowed edge of the frame
    "B": "#0A0A0A",    # board face
    "a": "#FFA400",    # lit LED
    "y": "#FFE27A",    # glint on a lit LED
    "d": "#3D2600",    # dark LED
    "P": "#505050",    # posts the board stands on
    "p": "#2A2A2A",    # shadow side of the posts
}

# The letter the lit LEDs spell, 5 x 7, in the middle of the 9 x 7 dot matrix.
GLYPH_V = [
    "X...X",
    "X...X",
    "X...X",
    "X...X",
    ".X.X.",
    ".X.X.",
    "..X..",
]

MATRIX_COLUMNS = 9
MATRIX_ROWS = 7
DOT_PITCH = 3       # a 2 x 2 LED, then a one-pixel gap
MATRIX_LEFT = 3
MATRIX_TOP = 5


def draw_icon():
    rows = [["."] * ICON_SIZE for _ in range(ICON_SIZE)]

    def fill(left, top, right, bottom, colour):
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                rows[y][x] = colour

    # Two posts under the board, with feet.
    for post in (6, 23):
        fill(post, 28, post + 2, 30, "P")
        fill(post + 2, 28, post + 2, 30, "p")
        fill(post - 1, 31, post + 3, 31, "p")

    # The board: a frame two pixels wide, lit from the top left.
    fill(0, 2, 31, 27, "F")
    fill(0, 2, 31, 2, "H")
    fill(0, 2, 0, 27, "H")
    fill(1, 27, 31, 27, "S")
    fill(31, 3, 31, 27, "S")
    fill(2, 4, 29, 25, "B")

    glyph_left = (MATRIX_COLUMNS - len(GLYPH_V[0])) // 2
    for row in range(MATRIX_ROWS):
        for column in range(MATRIX_COLUMNS):
            x = MATRIX_LEFT + column * DOT_PITCH
            y = MATRIX_TOP + row * DOT_PITCH
            glyph_column = column - glyph_left
            lit = 0 <= glyph_column < len(GLYPH_V[row]) and GLYPH_V[row][glyph_column] == "X"
            fill(x, y, x + 1, y + 1, "a" if lit else "d")
            if lit:
                rows[y][x] = "y"
    return ["".join(row) for row in rows]


def write_xpm(path, rows):
    used = sorted({c for row in rows for c in row})
    lines = ["/* XPM */", "static char *icon[] = {",
             f'"{ICON_SIZE} {ICON_SIZE} {len(used)} 1",']
    for c in used:
        colour = ICON_COLOURS[c]
        lines.append(f'"{c} c {colour if colour else "None"}",')
    lines += [f'"{row}",' for row in rows]
    lines[-1] = lines[-1].rstrip(",")
    lines.append("};")
    path.write_text("\n".join(lines) + "\n")


def write_svg(path, rows):
    """One rectangle per run of a colour along a row: the pixels, as vectors."""
    shapes = []
    for y, row in enumerate(rows):
        x = 0
        while x < ICON_SIZE:
            end = x
            while end < ICON_SIZE and row[end] == row[x]:
                end += 1
            colour = ICON_COLOURS[row[x]]
            if colour:
                shapes.append(f'<rect x="{x}" y="{y}" width="{end - x}" height="1" fill="{colour}"/>')
            x = end
    path.write_text(
        '<svg xmlns="http://www.w3.org/2000/svg" width="{0}" height="{0}" viewBox="0 0 {0} {0}" '
        'shape-rendering="crispEdges">\n'.format(ICON_SIZE)
        + "\n".join(shapes) + "\n</svg>\n")


# The sizes of the icon theme besides the 32 x 32 picture itself.
THEME_SIZES = (16, 48, 64, 128)


def render_theme_sizes(svg):
    folder = HERE / "hicolor"
    folder.mkdir(exist_ok=True)
    for size in THEME_SIZES:
        subprocess.run(["rsvg-convert", "--width", str(size), "--height", str(size),
                        "--output", str(folder / f"icon-{size}.png"), str(svg)], check=True)


def convert(*arguments):
    subprocess.run(["convert", *map(str, arguments)], check=True)


def make_icon(work):
    xpm = work / "icon.xpm"
    rows = draw_icon()
    write_xpm(xpm, rows)
    write_svg(HERE / "icon.svg", rows)
    render_theme_sizes(HERE / "icon.svg")
    # PNG8 keeps the transparent entry of the palette; bit depth 4 makes it 16-colour.
    convert(xpm, "-define", "png:bit-depth=4", "-strip", f"PNG8:{HERE / 'icon.png'}")
    convert(xpm, "-colors", "16", "-compress", "None", "-type", "PaletteAlpha",
            "-define", "icon:auto-resize=32", HERE / "icon.ico")


# The logo: a small LED panel as emblem, then the name with "SIGNS" under it.
LOGO_WIDTH, LOGO_HEIGHT = 129, 47
NAVY = "#1B2A4A"
AMBER = "#F59B00"


def logo_emblem_draws():
    draws = [f"fill {NAVY} roundrectangle 3,5 40,41 5,5"]
    # A 5 x 5 grid of LEDs; the lit ones draw a "V".
    lit = {(0, 0), (0, 1), (1, 2), (1, 3), (2, 4), (3, 3), (3, 2), (4, 1), (4, 0)}
    for row in range(5):
        for column in range(5):
            cx, cy = 10 + column * 6, 11 + row * 6
            colour = AMBER if (column, row) in lit else "#34425F"
            draws.append(f"fill {colour} circle {cx},{cy} {cx + 2},{cy}")
    return draws


def make_logo():
    command = ["-size", f"{LOGO_WIDTH}x{LOGO_HEIGHT}", "xc:white"]
    for draw in logo_emblem_draws():
        command += ["-draw", draw]
    command += [
        "-font", "Liberation-Sans-Bold", "-fill", NAVY, "-pointsize", "25",
        "-annotate", "+46+29", "Vantor",
        # Spaced out to run the width of the name above it.
        "-font", "Liberation-Sans-Bold", "-fill", AMBER, "-pointsize", "10",
        "-kerning", "7.5", "-annotate", "+48+41", "SIGNS",
        "-quality", "92", "-sampling-factor", "1x1", "-strip",
        HERE / "logo.jpg",
    ]
    convert(*command)


def main():
    with tempfile.TemporaryDirectory() as work:
        make_icon(pathlib.Path(work))
    make_logo()


if __name__ == "__main__":
    main()
