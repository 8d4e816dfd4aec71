"""The mouse picture of the button page and the coordinates of its eight buttons.

The picture is a skin of four states side by side (normal, hover, selected,
disabled). The widget copies state 1 into a hovered button's rectangle and
state 2 into a selected one's, so the four states differ only on the buttons
and the accent lights; the rectangles written to the coords file are the
buttons' bounding boxes, computed from the same geometry that draws them.
"""

import math
import re

from svgkit import (ACCENT, ACCENT_DARK, ACCENT_LIGHT, BG0, DISABLED, LINE2,
                    circle, el, group, linear, path, radial, rect, strip)

WIDTH = 300
HEIGHT = 420
STATE_NORMAL, STATE_HOVER, STATE_SELECTED, STATE_DISABLED = range(4)

BODY = ("M150,24 C202,24 234,48 241,100 C246,140 239,178 237,208 "
        "C235,240 252,268 252,310 C252,366 208,402 150,402 "
        "C92,402 48,366 48,310 C48,268 65,240 63,208 "
        "C61,178 54,140 59,100 C66,48 98,24 150,24 Z")
LEFT_GRIP = ("M63,212 C65,240 49,268 49,310 C49,338 60,364 80,384 "
             "C71,352 67,322 69,292 C71,262 73,236 63,212 Z")
RIGHT_GRIP = ("M237,212 C235,240 251,268 251,310 C251,338 240,364 220,384 "
              "C229,352 233,322 231,292 C229,262 227,236 237,212 Z")
WHEEL_SLOT = (139, 46, 22, 90)


class Button:
    """One pressable part of the picture: its path and its id in the coords file."""

    def __init__(self, ident, name, shape, mark=""):
        self.ident = ident
        self.name = name
        self.shape = shape          # (tag, geometry attributes) of the outline
        self.mark = mark            # small symbol drawn on the button
        self.bounds = None          # (left, top, width, height), set below


def _tokens(d):
    return re.findall(r"[A-Za-z]|-?\d*\.?\d+", d)


def _rotated_pill(cx, cy, w, h, degrees):
    """A rounded bar rotated about its centre, as a closed path, and its corners."""
    r = w / 2
    a = math.radians(degrees)
    cos_a, sin_a = math.cos(a), math.sin(a)

    def turn(x, y):
        return (cx + x * cos_a - y * sin_a, cy + x * sin_a + y * cos_a)

    top, bottom = -h / 2 + r, h / 2 - r
    p1, p2 = turn(-r, top), turn(r, top)
    p3, p4 = turn(r, bottom), turn(-r, bottom)
    d = (f"M{p1[0]:.2f},{p1[1]:.2f} A{r},{r} 0 0 1 {p2[0]:.2f},{p2[1]:.2f} "
         f"L{p3[0]:.2f},{p3[1]:.2f} A{r},{r} 0 0 1 {p4[0]:.2f},{p4[1]:.2f} Z")
    extent = [turn(x, y) for x in (-r, r) for y in (-h / 2, h / 2)]
    return d, extent


def _cubic_points(d):
    """Points along an absolute M/L/C path, for its bounding box."""
    tokens = [t for t in _tokens(d) if t != "Z"]
    points, current, i = [], (0.0, 0.0), 0
    command = "M"
    while i < len(tokens):
        if tokens[i] in ("M", "L", "C"):
            command = tokens[i]
            i += 1
        if command in ("M", "L"):
            current = (float(tokens[i]), float(tokens[i + 1]))
            points.append(current)
            i += 2
        else:
            c1 = (float(tokens[i]), float(tokens[i + 1]))
            c2 = (float(tokens[i + 2]), float(tokens[i + 3]))
            end = (float(tokens[i + 4]), float(tokens[i + 5]))
            for step in range(1, 33):
                t = step / 32
                u = 1 - t
                points.append(tuple(u ** 3 * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 +
                                    t ** 3 * p3
                                    for p0, p1, p2, p3 in zip(current, c1, c2, end)))
            current = end
            i += 6
    return points


def _box(points, pad=2):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    left, top = math.floor(min(xs)) - pad, math.floor(min(ys)) - pad
    right, bottom = math.ceil(max(xs)) + pad, math.ceil(max(ys)) + pad
    return (left, top, right - left, bottom - top)


def _mirror(d):
    """The path mirrored about the picture's vertical centre line."""
    out, tokens = [], _tokens(d)
    is_x = True
    for token in tokens:
        if token.isalpha():
            out.append(token)
            is_x = True
            continue
        value = float(token)
        out.append(f"{WIDTH - value:g}" if is_x else f"{value:g}")
        is_x = not is_x
    return " ".join(out)


def _plus(cx, cy, size, colour):
    h = size / 2
    return path(f"M{cx - h},{cy}h{size}M{cx},{cy - h}v{size}", stroke=colour,
                stroke_width=1.6, stroke_linecap="round", fill="none")


def _minus(cx, cy, size, colour):
    return path(f"M{cx - size / 2},{cy}h{size}", stroke=colour, stroke_width=1.6,
                stroke_linecap="round", fill="none")


def _buttons():
    left = "M137,30 C106,30 76,48 68,98 C64,124 64,146 66,168 C90,174 114,176 137,177 Z"
    forward, forward_corners = _rotated_pill(66, 222, 12, 40, 5)
    back, back_corners = _rotated_pill(59, 268, 12, 40, 9)
    slot_x, slot_y, slot_w, slot_h = WHEEL_SLOT
    items = [
        Button(0, "Left button", ("path", dict(d=left))),
        Button(1, "Right button", ("path", dict(d=_mirror(left)))),
        Button(2, "Wheel button", None, "wheel"),
        Button(3, "Forward button", ("path", dict(d=forward))),
        Button(4, "Back button", ("path", dict(d=back))),
        Button(5, "DPI up", ("rect", dict(x=141, y=142, width=18, height=15, rx=4)), "plus"),
        Button(6, "DPI down", ("rect", dict(x=141, y=161, width=18, height=15, rx=4)), "minus"),
        Button(7, "Mode switch", ("rect", dict(x=132, y=192, width=36, height=13, rx=6.5)),
               "leds"),
    ]
    items[0].bounds = _box(_cubic_points(left))
    items[1].bounds = _box(_cubic_points(_mirror(left)))
    items[2].bounds = (slot_x, slot_y, slot_w, slot_h - 14)
    items[3].bounds = _box(forward_corners)
    items[4].bounds = _box(back_corners)
    items[5].bounds = (139, 140, 22, 19)
    items[6].bounds = (139, 159, 22, 19)
    items[7].bounds = (130, 190, 40, 17)
    return items


BUTTONS = _buttons()


def _palette(state):
    """Colours of one state: (light, button top, button bottom, edge, mark)."""
    if state == STATE_DISABLED:
        return DISABLED, "#1e2127", "#17191d", "#2c3037", "#3d424a"
    if state == STATE_HOVER:
        return ACCENT, "#3a4451", "#29303a", ACCENT, "#e8ebf0"
    if state == STATE_SELECTED:
        return ACCENT, ACCENT, ACCENT_DARK, ACCENT_LIGHT, "#ffffff"
    return ACCENT, "#232830", "#181b21", "#08090b", "#8d96a5"


def _button_paint(button, state, prefix):
    if button.mark == "wheel":
        return _wheel(state, prefix)
    light, top, bottom, edge, mark_colour = _palette(state)
    tag, geometry = button.shape
    gid = f"{prefix}b{button.ident}"
    defs = linear(gid, 0, 0, 0, 1, [(0, top), (1, bottom)])
    raised = state in (STATE_HOVER, STATE_SELECTED)
    parts = [el(tag, **geometry, fill=f"url(#{gid})",
                fill_opacity=0.72 if state == STATE_SELECTED else None),
             el(tag, **geometry, fill="none", stroke=edge, stroke_width=1.4 if raised else 2)]
    x, y, w, h = button.bounds
    cx, cy = x + w / 2, y + h / 2
    if state == STATE_HOVER:
        parts.append(el(tag, **geometry, fill=ACCENT, fill_opacity=0.14))
    if button.mark == "plus":
        parts.append(_plus(cx, cy, 7, mark_colour))
    elif button.mark == "minus":
        parts.append(_minus(cx, cy, 7, mark_colour))
    elif button.mark == "leds":
        parts += [circle(cx + dx, cy, 1.6, fill=light, fill_opacity=o)
                  for dx, o in ((-8, 1), (0, 0.45), (8, 0.45))]
    return defs, parts


def _wheel(state, prefix):
    x, y, w, h = WHEEL_SLOT
    light, _, _, edge, _ = _palette(state)
    centre = {STATE_NORMAL: "#3a414c", STATE_HOVER: "#55606f", STATE_SELECTED: ACCENT,
              STATE_DISABLED: "#2a2e35"}[state]
    defs = linear(f"{prefix}wh", 0, 0, 1, 0, [(0, "#15181d"), (0.5, centre), (1, "#15181d")])
    ridges = [path(f"M{x + 5},{y + 13 + 5 * i}h{w - 10}", stroke="#0b0d10", stroke_width=1.4,
                   stroke_opacity=0.7) for i in range(12)]
    parts = [rect(x, y, w, h, rx=11, fill=BG0),
             rect(x + 4, y + 9, w - 8, h - 24, rx=7, fill=f"url(#{prefix}wh)"), *ridges]
    if state in (STATE_HOVER, STATE_SELECTED):
        parts.append(rect(x + 4, y + 9, w - 8, h - 24, rx=7, fill="none", stroke=edge,
                          stroke_width=1.4))
    return defs, parts


def _body(state, prefix):
    disabled = state == STATE_DISABLED
    light = _palette(state)[0]
    defs = "".join([
        radial(f"{prefix}shadow", 0.5, 0.5, 0.5, [(0, "#000000", 0.55), (1, "#000000", 0)]),
        linear(f"{prefix}body", 0, 0, 0, 1,
               [(0, "#2a3039" if not disabled else "#24272c"),
                (0.55, "#1a1e24" if not disabled else "#1b1d21"),
                (1, "#0f1114")]),
        radial(f"{prefix}sheen", 0.38, 0.3, 0.6,
               [(0, "#ffffff", 0.09 if not disabled else 0.04), (1, "#ffffff", 0)]),
        radial(f"{prefix}glow", 0.5, 0.5, 0.5,
               [(0, light, 0.55 if not disabled else 0.15), (1, light, 0)]),
    ])
    grip_lines = [path(f"M{57 + k * 0.6},{262 + 14 * k} l7,-6", stroke="#2a3038",
                       stroke_width=1.2, stroke_linecap="round") for k in range(6)]
    grip_lines += [path(_mirror(f"M{57 + k * 0.6} {262 + 14 * k} L{64 + k * 0.6} "
                                f"{256 + 14 * k}"),
                        stroke="#2a3038", stroke_width=1.2, stroke_linecap="round")
                   for k in range(6)]
    emblem = ("M150,300 L171,327 L162,327 L150,312 L138,327 L129,327 Z "
              "M150,319 L162,334 L155,334 L150,328 L145,334 L138,334 Z")
    parts = [
        el("ellipse", cx=150, cy=396, rx=118, ry=22, fill=f"url(#{prefix}shadow)"),
        path(BODY, fill=f"url(#{prefix}body)", stroke=LINE2, stroke_width=1.4),
        path(LEFT_GRIP, fill="#0e1013"), path(RIGHT_GRIP, fill="#0e1013"), *grip_lines,
        el("ellipse", cx=124, cy=250, rx=70, ry=140, fill=f"url(#{prefix}sheen)"),
        path("M137,30 L137,182 M163,30 L163,182", stroke="#08090b", stroke_width=1.2),
        circle(150, 320, 34, fill=f"url(#{prefix}glow)"),
        path(emblem, fill=light),
        path("M80,372 C106,393 194,393 220,372", fill="none", stroke=light,
             stroke_width=10, stroke_opacity=0.16 if not disabled else 0.05,
             stroke_linecap="round"),
        path("M80,372 C106,393 194,393 220,372", fill="none", stroke=light,
             stroke_width=2.6, stroke_linecap="round",
             stroke_opacity=1 if not disabled else 0.5),
    ]
    return defs, parts


def _state(index, prefix):
    defs, parts = _body(index, prefix)
    for button in BUTTONS:
        button_defs, button_parts = _button_paint(button, index, prefix)
        defs += button_defs
        parts += button_parts
    return defs, parts


def picture_svg():
    return strip(WIDTH, HEIGHT, 4, _state)


def coords_xml():
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             f"<!-- The eight buttons of the mouse picture ({WIDTH} x {HEIGHT} per state):",
             "     id = button number, rect = left,top,width,height. -->",
             "<positions>"]
    for b in BUTTONS:
        x, y, w, h = b.bounds
        lines.append(f'\t<button id="{b.ident}" index="{b.ident}" name="{b.name}" '
                     f'rect="{x},{y},{w},{h}"/>')
    lines.append("</positions>")
    return "\n".join(lines) + "\n"
