"""Pictures of the other device kinds and the device chooser icons."""

import icons
from svgkit import (ACCENT, ACCENT_DARK, BG0, BG2, BG3, LINE2, MUTED, TEXT, WHITE,
                    circle, el, linear, path, radial, rect, single, strip)


def keyboard_picture(width=420, height=150):
    """A keyboard seen from above with its keys lit from below in the accent colour."""
    def draw(prefix):
        defs = "".join([
            linear(f"{prefix}case", 0, 0, 0, 1, [(0, "#2a3039"), (1, "#121418")]),
            linear(f"{prefix}key", 0, 0, 0, 1, [(0, "#2b313b"), (1, "#1b1f25")]),
            radial(f"{prefix}under", 0.5, 0.5, 0.5, [(0, ACCENT, 0.35), (1, ACCENT, 0)]),
        ])
        body = [el("ellipse", cx=width / 2, cy=height - 10, rx=width * 0.48, ry=14,
                   fill="#000000", fill_opacity=0.45),
                rect(6, 8, width - 12, height - 22, rx=12, fill=f"url(#{prefix}case)",
                     stroke=LINE2),
                rect(14, 16, width - 28, height - 38, rx=7, fill=BG0)]
        unit = (width - 40) / 15.5
        rows = [[1] * 14 + [1.5], [1.5] + [1] * 13 + [1], [1.75] + [1] * 12 + [1.75],
                [2.25] + [1] * 11 + [2.25], [1.25] * 3 + [6.25] + [1.25] * 4]
        y = 20
        row_height = (height - 46) / len(rows)
        for row in rows:
            x = 20
            for span in row:
                w = unit * span - 3
                body.append(rect(x, y, w, row_height - 3, rx=3, fill=f"url(#{prefix}key)",
                                 stroke=ACCENT, stroke_opacity=0.32, stroke_width=0.8))
                x += unit * span
            y += row_height
        body.append(el("ellipse", cx=width / 2, cy=height - 14, rx=width * 0.4, ry=6,
                       fill=f"url(#{prefix}under)"))
        return defs, body
    return single(width, height, draw)


def headset_picture(size=220):
    def draw(prefix):
        defs = "".join([
            linear(f"{prefix}shell", 0, 0, 0, 1, [(0, "#2c323c"), (1, "#121418")]),
            radial(f"{prefix}ring", 0.5, 0.5, 0.5, [(0, ACCENT, 0), (0.7, ACCENT, 0),
                                                    (0.85, ACCENT, 0.5), (1, ACCENT, 0)]),
        ])
        c = size / 2
        band = (f"M{c - 72},{c + 18} C{c - 78},{c - 70} {c + 78},{c - 70} {c + 72},{c + 18}")
        body = [el("ellipse", cx=c, cy=size - 16, rx=80, ry=10, fill="#000000",
                   fill_opacity=0.4),
                path(band, fill="none", stroke="#0d0f12", stroke_width=18,
                     stroke_linecap="round"),
                path(band, fill="none", stroke="#2a3039", stroke_width=12,
                     stroke_linecap="round"),
                path(band, fill="none", stroke=ACCENT, stroke_width=2, stroke_opacity=0.6)]
        for side in (-1, 1):
            x = c + side * 70
            body += [el("ellipse", cx=x, cy=c + 40, rx=30, ry=42, fill=f"url(#{prefix}shell)",
                        stroke=LINE2),
                     el("ellipse", cx=x, cy=c + 40, rx=22, ry=33, fill="none", stroke=ACCENT,
                        stroke_width=2.5),
                     el("ellipse", cx=x, cy=c + 40, rx=34, ry=46, fill=f"url(#{prefix}ring)")]
        body.append(path(f"M{c - 92},{c + 60} C{c - 96},{c + 90} {c - 60},{c + 96} {c - 36},"
                         f"{c + 92}", fill="none", stroke="#2a3039", stroke_width=5,
                         stroke_linecap="round"))
        body.append(circle(c - 34, c + 92, 5, fill=ACCENT))
        return defs, body
    return single(size, size, draw)


def mousepad_picture(width=320, height=200):
    def draw(prefix):
        defs = "".join([
            linear(f"{prefix}cloth", 0, 0, 1, 1, [(0, "#1d2229"), (1, "#101216")]),
            linear(f"{prefix}edge", 0, 0, 1, 0, [(0, ACCENT_DARK), (0.5, ACCENT),
                                                 (1, ACCENT_DARK)]),
        ])
        skew = 30
        top, bottom = 30, height - 30
        outline = (f"M{skew + 10},{top} L{width - 10},{top} L{width - skew - 10},{bottom} "
                   f"L10,{bottom} Z")
        lines = [path(f"M{skew + 10 + i * 28},{top + 4} l{-skew + 6},{bottom - top - 8}",
                      stroke=WHITE, stroke_opacity=0.025, stroke_width=8) for i in range(10)]
        body = [path(f"M{skew + 14},{top + 12} L{width - 6},{top + 12} L{width - skew - 6},"
                     f"{bottom + 12} L14,{bottom + 12} Z", fill="#000000", fill_opacity=0.45),
                path(outline, fill=f"url(#{prefix}cloth)"), *lines,
                path(outline, fill="none", stroke=f"url(#{prefix}edge)", stroke_width=3,
                     stroke_linejoin="round"),
                path(f"M{width - skew - 60},{bottom - 26} l22,0 l4,-8 l-22,0 Z", fill=ACCENT,
                     fill_opacity=0.7)]
        return defs, body
    return single(width, height, draw)


def device_icon(icon, size=44):
    """A device chooser icon: normal, hover, selected."""
    def draw(state, prefix):
        body = []
        if state == 1:
            body.append(rect(0.5, 0.5, size - 1, size - 1, rx=10, fill=BG3, stroke=LINE2))
        if state == 2:
            body += [rect(0.5, 0.5, size - 1, size - 1, rx=10, fill=BG2, stroke=ACCENT),
                     rect(-0.5 + 3, size * 0.3, 2.5, size * 0.4, rx=1.25, fill=ACCENT)]
        colour = {0: MUTED, 1: TEXT, 2: ACCENT}[state]
        body.append(icons.place(icon(colour), size * 0.2, size * 0.2, size * 0.6))
        return "", body
    return strip(size, size, 3, draw)
