#!/usr/bin/env python3
"""Draws the balance lab's report as a PNG: the win table as a heat map, beside each hero's and
each seat's win rate. Usage: balance_chart.py REPORT OUT.png   (REPORT: the lab's standard output)
Writes an SVG and renders it with rsvg-convert in the game's own fonts."""
import os
import re
import subprocess
import sys
import tempfile

HEROES = ["Knight", "Mage", "Orc", "Druid"]
P1_COLOUR = (46, 110, 200)   # player 1's wins
P2_COLOUR = (205, 70, 50)    # player 2's wins
HERO_COLOUR = "rgb(120,150,90)"
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def parse(text):
    """The table's cells as (per cent, draws), and each hero's and seat's win rate in per cent."""
    cell = re.compile(r"(\d+)%(?: \((\d+) draws?\))?")
    table, heroes, seats = {}, {}, {}
    for line in text.splitlines():
        words = line.split()
        if len(words) > 4 and words[0] in HEROES and words[1] != "won":
            table[words[0]] = [(int(p), int(d or 0)) for p, d in cell.findall(line)]
        m = re.match(r"\s+(\w+)\s+won\s+(\d+)% of (\d+) matches", line)
        if m and m.group(1) in HEROES:
            heroes[m.group(1)] = int(m.group(2))
        m = re.match(r"\s+player (\d) won\s+(\d+)%", line)
        if m:
            seats["player " + m.group(1)] = int(m.group(2))
    if len(table) != 4 or any(len(row) != 4 for row in table.values()) or len(heroes) != 4:
        raise ValueError("not a balance lab report: the table or the heroes are missing")
    return table, heroes, seats, re.search(r"(\d+) matches per pair", text).group(1)


def mix(share):
    """White at an even split, deepening to player 1's colour at 100 and player 2's at 0."""
    towards = P1_COLOUR if share >= 50 else P2_COLOUR
    k = abs(share - 50) / 50
    r, g, b = (round(255 + (c - 255) * k) for c in towards)
    return f"rgb({r},{g},{b})"


def text(x, y, s, size=18, anchor="middle", weight="normal", fill="#222"):
    return (f'<text x="{x}" y="{y}" font-family="Roboto Condensed" font-size="{size}" '
            f'text-anchor="{anchor}" font-weight="{weight}" fill="{fill}">{s}</text>')


def heat_map(table, x0, y0, size):
    out = [text(x0 + 2 * size, y0 - 46, "player 2's hero", 16)]
    out.append(f'<text x="{x0 - 92}" y="{y0 + 2 * size}" font-family="Roboto Condensed" '
               f'font-size="16" text-anchor="middle" fill="#222" '
               f'transform="rotate(-90 {x0 - 92} {y0 + 2 * size})">player 1\'s hero</text>')
    for i, hero in enumerate(HEROES):
        out.append(text(x0 + i * size + size / 2, y0 - 14, hero, 18, weight="bold"))
        out.append(text(x0 - 10, y0 + i * size + size / 2 + 6, hero, 18, "end", "bold"))
        for j, (share, draws) in enumerate(table[hero]):
            x, y = x0 + j * size, y0 + i * size
            out.append(f'<rect x="{x}" y="{y}" width="{size}" height="{size}" '
                       f'fill="{mix(share)}" stroke="#fff" stroke-width="2"/>')
            ink = "#fff" if abs(share - 50) > 30 else "#222"
            out.append(text(x + size / 2, y + size / 2 + 9, f"{share}%", 26, weight="bold", fill=ink))
            if draws:
                out.append(text(x + size / 2, y + size / 2 + 30, f"{draws} drawn", 13, fill=ink))
    return out


def bars(title, rates, colours, x0, y0, width):
    out = [text(x0, y0, title, 18, "start", "bold")]
    for i, (name, rate) in enumerate(rates.items()):
        y = y0 + 16 + i * 34
        colour = colours[i]
        out.append(text(x0 + 72, y + 19, name, 16, "end"))
        out.append(f'<rect x="{x0 + 80}" y="{y}" width="{width}" height="26" fill="#eee"/>')
        out.append(f'<rect x="{x0 + 80}" y="{y}" width="{width * rate / 100:.1f}" height="26" '
                   f'fill="{colour}" stroke="#888"/>')
        out.append(text(x0 + 88 + width * rate / 100, y + 19, f"{rate}%", 16, "start"))
    half = x0 + 80 + width / 2
    out.append(f'<line x1="{half}" y1="{y0 + 10}" x2="{half}" y2="{y0 + 20 + 34 * len(rates)}" '
               f'stroke="#444" stroke-dasharray="4 3"/>')
    return out


def svg(report):
    table, heroes, seats, n = parse(report)
    parts = [text(450, 34, f"Who wins: player 1's share of the matches, {n} per pair", 22, weight="bold")]
    parts += heat_map(table, 130, 120, 100)
    parts += bars("Heroes, either seat", heroes, [HERO_COLOUR] * 4, 580, 120, 220)
    seat_colours = ["rgb(%d,%d,%d)" % c for c in (P1_COLOUR, P2_COLOUR)]
    parts += bars("Seats", seats, seat_colours, 580, 330, 220)
    parts.append(text(450, 575, "blue: player 1 wins more, red: player 2 wins more; "
                      "dashed line: an even share", 14, fill="#555"))
    body = "\n".join(parts)
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="940" height="600">'
            f'<rect width="100%" height="100%" fill="#fff"/>\n{body}\n</svg>\n')


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: balance_chart.py REPORT OUT.png")
    with open(sys.argv[1], encoding="utf-8") as f:
        picture = svg(f.read())
    env = dict(os.environ, FONTCONFIG_FILE=os.path.join(ROOT, "assets", "fonts.conf"))
    with tempfile.NamedTemporaryFile("w", suffix=".svg", delete=False) as f:
        f.write(picture)
    try:
        subprocess.run(["rsvg-convert", "--format=png", "-o", sys.argv[2], f.name], env=env, check=True)
    finally:
        os.unlink(f.name)


if __name__ == "__main__":
    main()
