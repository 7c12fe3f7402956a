#!/usr/bin/python3
"""Finds the lines of dark text in a plain PGM image on standard input (ImageMagick:
convert SHOT -crop ... -colorspace gray -compress none pgm:-) and prints one line for each:

    top bottom left right ink widest

ink is the count of dark pixels of the line; widest the largest share of the line's width that one
pixel row of it covers (an underline covers nearly all of it). With X1 given, ink counts only the
columns left of X1 (to weigh the same words on two lines).

    text-lines.py [X1] < image.pgm
"""
import sys


def read_pgm(data):
    words = [w for line in data.splitlines() for w in line.split("#")[0].split()]
    width, height, top = int(words[1]), int(words[2]), int(words[3])
    values = [int(v) for v in words[4:4 + width * height]]
    return [[values[y * width + x] < top // 2 for x in range(width)] for y in range(height)]


def lines(dark):
    rows = [any(row) for row in dark] + [False]
    start = None
    for y, inked in enumerate(rows):
        if inked and start is None:
            start = y
        elif not inked and start is not None:
            yield start, y - 1
            start = None


def describe(dark, top, bottom, limit):
    columns = [x for y in range(top, bottom + 1) for x, d in enumerate(dark[y]) if d]
    left, right = min(columns), max(columns)
    ink = sum(1 for y in range(top, bottom + 1) for x in range(min(right + 1, limit)) if dark[y][x])
    widest = max(sum(dark[y][left:right + 1]) for y in range(top, bottom + 1)) / (right - left + 1)
    return f"{top} {bottom} {left} {right} {ink} {widest:.2f}"


def main():
    dark = read_pgm(sys.stdin.read())
    limit = int(sys.argv[1]) if len(sys.argv) > 1 else len(dark[0])
    for top, bottom in lines(dark):
        print(describe(dark, top, bottom, limit))


if __name__ == "__main__":
    main()
