#!/usr/bin/env python3
"""Writes a picture with its marks filled from the game's figures (assets/book-figures.txt).
Usage: figures.py FIGURES SVG > FILLED
  {{Knight.A.health}}        the figure's text
  {{badges Knight.A X Y}}    the troop's badges (flying, melee or ranged, splash) from X, Y
  {{gems Cost.A X Y}}        one gem per point of the cost, the first at X, Y, the others leftwards"""
import re
import sys

# Each badge is a pill 17 high, its word centred in it; badges stand 6 apart.
BADGES = {"flying": (45.6, "#3f86b8"), "melee": (47.2, "#6f6252"),
          "ranged": (55.3, "#8a5530"), "splash": (51.5, "#c0602a")}


def badges(figure, troop, x, y):
    words = ["flying"] if figure(f"{troop}.flying") == "1" else []
    words.append("ranged" if figure(f"{troop}.ranged") == "1" else "melee")
    words += ["splash"] if figure(f"{troop}.splash") == "1" else []
    out = []
    for word in words:
        width, colour = BADGES[word]
        out.append(f'<rect x="{x:.1f}" y="{y:g}" width="{width}" height="17" rx="8.5" '
                   f'fill="{colour}" stroke="#2b1a10" stroke-width="1.3"/>')
        out.append(f'<text x="{x + width / 2:.1f}" y="{y + 12.6:.1f}" font-family="Comfortaa" '
                   f'font-weight="bold" font-size="12" fill="#fff4dc" text-anchor="middle">{word}</text>')
        x += width + 6
    return "\n    ".join(out)


# A cost's gems stand 13 apart, right to left.
def gems(figure, cost, x, y):
    return "\n    ".join(f'<use href="#i-gem" x="{x - 13 * i:g}" y="{y:g}"/>'
                          for i in range(int(figure(cost))))


def main():
    figures_path, svg_path = sys.argv[1:3]
    with open(figures_path) as f:
        figures = dict(line.rstrip("\n").split(" ", 1) for line in f if line.strip())

    def figure(key):
        if key not in figures:
            sys.exit(f"[assets] {svg_path}: no figure {key} in {figures_path}")
        return figures[key]

    def fill(mark):
        words = mark.group(1).split()
        if words[0] == "badges" and len(words) == 4:
            return badges(figure, words[1], float(words[2]), float(words[3]))
        if words[0] == "gems" and len(words) == 4:
            return gems(figure, words[1], float(words[2]), float(words[3]))
        if len(words) != 1:
            sys.exit(f"[assets] {svg_path}: cannot read the mark {{{{{mark.group(1)}}}}}")
        return figure(words[0])

    with open(svg_path) as f:
        sys.stdout.write(re.sub(r"\{\{([^{}]*)\}\}", fill, f.read()))


main()
