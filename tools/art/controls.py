"""Skins of controls: buttons, check and radio marks, tabs, slider, combo box, swatches.

Every multi-state skin is a strip of equal states, left to right. The state
orders follow what the widgets ask for:
  buttons          normal, hover, pushed, disabled
  check/radio mark unchecked normal, hover, pushed, disabled, then checked likewise
  toggle (check)   normal, hover, pushed, checked
  segment (radio)  normal, hover, checked, disabled
  tab item         normal, hover, selected
  slider thumb     normal, hover, pushed, disabled
"""

import icons
from svgkit import (ACCENT, ACCENT_DARK, ACCENT_LIGHT, BG0, BG2, BG3, BG4, DISABLED, LINE,
                    LINE2, MUTED, TEXT, WHITE, circle, group, linear, path, radial, rect,
                    single, strip)

NORMAL, HOVER, PUSHED, DISABLED_STATE = range(4)


def icon_button(icon, size=32):
    """A square icon button, four states."""
    def draw(state, prefix):
        fill, stroke, colour = {
            NORMAL: (BG2, LINE, MUTED),
            HOVER: (BG3, LINE2, TEXT),
            PUSHED: (ACCENT_DARK, ACCENT, WHITE),
            DISABLED_STATE: (BG2, BG3, DISABLED),
        }[state]
        inset = 2.5
        icon_size = size * 0.62
        offset = (size - icon_size) / 2
        body = [rect(0.5, 0.5, size - 1, size - 1, rx=7, fill=fill, stroke=stroke),
                icons.place(icon(colour), offset, offset + (0.5 if state == PUSHED else 0),
                            icon_size)]
        if state == HOVER:
            body.insert(1, path(f"M{inset + 4},1.5h{size - 2 * inset - 8}", stroke=WHITE,
                                stroke_opacity=0.12))
        return "", body
    return strip(size, size, 4, draw)


def text_button(primary, width=110, height=34):
    """A text button background (the text is the widget's), four states."""
    def draw(state, prefix):
        if primary:
            top, bottom, stroke = {
                NORMAL: (ACCENT, ACCENT_DARK, ACCENT_LIGHT),
                HOVER: (ACCENT_LIGHT, ACCENT, WHITE),
                PUSHED: (ACCENT_DARK, "#076a86", ACCENT),
                DISABLED_STATE: (BG3, BG2, LINE),
            }[state]
        else:
            top, bottom, stroke = {
                NORMAL: (BG4, BG3, LINE2),
                HOVER: ("#3a4250", BG4, ACCENT),
                PUSHED: (BG2, BG3, ACCENT_DARK),
                DISABLED_STATE: (BG2, BG2, BG3),
            }[state]
        gid = f"{prefix}g"
        defs = linear(gid, 0, 0, 0, 1, [(0, top), (1, bottom)])
        body = [rect(0.5, 0.5, width - 1, height - 1, rx=8, fill=f"url(#{gid})",
                     stroke=stroke, stroke_opacity=0.9),
                path(f"M8,1.5h{width - 16}", stroke=WHITE,
                     stroke_opacity=0.0 if state in (PUSHED, DISABLED_STATE) else 0.22)]
        return defs, body
    return strip(width, height, 4, draw)


def caption_button(icon, danger_hover=False, size=36):
    """A title-bar button: flat until hovered, four states."""
    def draw(state, prefix):
        colour = {NORMAL: MUTED, HOVER: WHITE, PUSHED: WHITE, DISABLED_STATE: DISABLED}[state]
        back = {NORMAL: None, HOVER: ACCENT_DARK if danger_hover else BG4,
                PUSHED: ACCENT if danger_hover else BG3, DISABLED_STATE: None}[state]
        body = []
        if back:
            body.append(rect(2, 2, size - 4, size - 4, rx=8, fill=back))
        body.append(icons.place(icon(colour), size * 0.22, size * 0.22, size * 0.56))
        return "", body
    return strip(size, size, 4, draw)


def _mark_state(index):
    """(checked, state) of an eight-state check or radio mark."""
    return index >= 4, index % 4


def check_mark(size=18):
    def draw(index, prefix):
        checked, state = _mark_state(index)
        if checked:
            fill = {NORMAL: ACCENT, HOVER: ACCENT_LIGHT, PUSHED: ACCENT_DARK,
                    DISABLED_STATE: BG4}[state]
            stroke = fill
            tick = BG0 if state != DISABLED_STATE else MUTED
        else:
            fill = {NORMAL: BG2, HOVER: BG3, PUSHED: BG4, DISABLED_STATE: BG2}[state]
            stroke = {NORMAL: LINE2, HOVER: ACCENT, PUSHED: ACCENT_DARK,
                      DISABLED_STATE: BG3}[state]
            tick = None
        body = [rect(1, 1, size - 2, size - 2, rx=4, fill=fill, stroke=stroke, stroke_width=1.4)]
        if tick:
            body.append(icons.place(icons.check(tick), 1.5, 1.5, size - 3))
        return "", body
    return strip(size, size, 8, draw)


def radio_mark(size=18):
    def draw(index, prefix):
        checked, state = _mark_state(index)
        c = size / 2
        ring = {NORMAL: LINE2, HOVER: ACCENT, PUSHED: ACCENT_DARK, DISABLED_STATE: BG3}[state]
        if checked:
            ring = {NORMAL: ACCENT, HOVER: ACCENT_LIGHT, PUSHED: ACCENT_DARK,
                    DISABLED_STATE: BG4}[state]
        fill = {NORMAL: BG2, HOVER: BG3, PUSHED: BG4, DISABLED_STATE: BG2}[state]
        body = [circle(c, c, c - 1.2, fill=fill, stroke=ring, stroke_width=1.6)]
        if checked:
            body.append(circle(c, c, c * 0.42, fill=ring))
        return "", body
    return strip(size, size, 8, draw)


def toggle(width=40, height=22):
    """A switch: off, off hovered, pushed, on."""
    def draw(state, prefix):
        on = state == 3
        track = {0: BG3, 1: BG4, 2: ACCENT_DARK, 3: ACCENT}[state]
        r = height / 2
        knob_x = width - r if on else r
        body = [rect(0.5, 0.5, width - 1, height - 1, rx=r - 0.5, fill=track,
                     stroke=ACCENT if state == 1 else LINE2, stroke_opacity=0.8),
                circle(knob_x, r, r - 3.5, fill=WHITE if on or state == 2 else MUTED)]
        return "", body
    return strip(width, height, 4, draw)


def toggle_mark(width=40, height=22):
    """A switch as an eight-state check mark (see check_mark for the order)."""
    def draw(index, prefix):
        checked, state = _mark_state(index)
        if checked:
            track = {NORMAL: ACCENT, HOVER: ACCENT_LIGHT, PUSHED: ACCENT_DARK,
                     DISABLED_STATE: BG4}[state]
            knob = MUTED if state == DISABLED_STATE else WHITE
        else:
            track = {NORMAL: BG3, HOVER: BG4, PUSHED: ACCENT_DARK, DISABLED_STATE: BG2}[state]
            knob = {NORMAL: MUTED, HOVER: TEXT, PUSHED: WHITE, DISABLED_STATE: DISABLED}[state]
        r = height / 2
        edge = ACCENT if state == HOVER and not checked else LINE2
        body = [rect(0.5, 0.5, width - 1, height - 1, rx=r - 0.5, fill=track, stroke=edge,
                     stroke_opacity=0.8 if not checked else 0),
                circle(width - r if checked else r, r, r - 3.5, fill=knob)]
        return "", body
    return strip(width, height, 8, draw)


def segment(width=110, height=32):
    """A choice among a few: normal, hover, checked, disabled."""
    def draw(state, prefix):
        fill, stroke = {0: (BG2, LINE), 1: (BG3, LINE2), 2: (ACCENT_DARK, ACCENT),
                        3: (BG2, BG3)}[state]
        body = [rect(0.5, 0.5, width - 1, height - 1, rx=7, fill=fill, stroke=stroke)]
        if state == 2:
            body.append(path(f"M10,{height - 2.5}h{width - 20}", stroke=ACCENT_LIGHT,
                             stroke_width=2, stroke_linecap="round"))
        return "", body
    return strip(width, height, 4, draw)


def tab_item(width=150, height=46):
    """A tab header item: normal, hover, selected."""
    def draw(state, prefix):
        gid = f"{prefix}g"
        defs = linear(gid, 0, 0, 0, 1, [(0, ACCENT, 0), (1, ACCENT, 0.22)])
        body = []
        if state == 1:
            body.append(rect(0, 0, width, height, rx=6, fill=BG3, fill_opacity=0.7))
        if state == 2:
            body += [rect(0, 0, width, height, rx=6, fill=f"url(#{gid})"),
                     rect(12, height - 3, width - 24, 3, rx=1.5, fill=ACCENT)]
        if not body:
            body.append(rect(0, 0, width, height, fill=BG0, fill_opacity=0))
        return defs, body
    return strip(width, height, 3, draw)


def tab_head_background(width=640, height=52):
    def draw(prefix):
        gid = f"{prefix}g"
        defs = linear(gid, 0, 0, 0, 1, [(0, BG2), (1, "#15181d")])
        return defs, [rect(0, 0, width, height, rx=8, fill=f"url(#{gid})"),
                      path(f"M0,{height - 0.5}h{width}", stroke=LINE)]
    return single(width, height, draw)


def icon_states(icon, size=24):
    """A tab or menu icon: normal, hover, selected."""
    def draw(state, prefix):
        colour = {0: MUTED, 1: TEXT, 2: ACCENT}[state]
        return "", [icons.place(icon(colour), 0, 0, size)]
    return strip(size, size, 3, draw)


def slider_track(width=240, height=6, filled=False):
    def draw(prefix):
        gid = f"{prefix}g"
        if filled:
            defs = linear(gid, 0, 0, 1, 0, [(0, ACCENT_DARK), (1, ACCENT)])
        else:
            defs = linear(gid, 0, 0, 0, 1, [(0, "#0a0c0f"), (1, BG3)])
        return defs, [rect(0, 0, width, height, rx=height / 2, fill=f"url(#{gid})")]
    return single(width, height, draw)


def slider_thumb(size=18):
    def draw(state, prefix):
        c = size / 2
        ring = {0: ACCENT, 1: ACCENT_LIGHT, 2: WHITE, 3: BG4}[state]
        gid = f"{prefix}g"
        defs = radial(gid, 0.5, 0.5, 0.5, [(0, ACCENT, 0.45), (1, ACCENT, 0)])
        body = []
        if state in (1, 2):
            body.append(circle(c, c, c, fill=f"url(#{gid})"))
        body += [circle(c, c, c - 3, fill=BG0 if state != 3 else BG2, stroke=ring,
                        stroke_width=2.4),
                 circle(c, c, 2.2 if state != 2 else 3, fill=ring)]
        return defs, body
    return strip(size, size, 4, draw)


def combo_frame(width=180, height=34, highlighted=False):
    """The box of a combo box; the highlighted one is shown while it is open or hovered."""
    def draw(prefix):
        gid = f"{prefix}g"
        defs = linear(gid, 0, 0, 0, 1, [(0, BG3 if highlighted else BG2),
                                         (1, BG2 if highlighted else "#16191f")])
        body = [rect(0.5, 0.5, width - 1, height - 1, rx=7, fill=f"url(#{gid})",
                     stroke=ACCENT if highlighted else LINE2, stroke_opacity=0.9)]
        if highlighted:
            body.append(rect(10, height - 2, width - 20, 1.5, rx=0.75, fill=ACCENT,
                             fill_opacity=0.6))
        return defs, body
    return single(width, height, draw)


def combo_states(width=180, height=34):
    """A combo box frame in four states: normal, hover, open, disabled."""
    def draw(state, prefix):
        stroke = {0: LINE2, 1: ACCENT, 2: ACCENT_LIGHT, 3: BG3}[state]
        fill = {0: BG2, 1: BG3, 2: BG3, 3: BG2}[state]
        return "", [rect(0.5, 0.5, width - 1, height - 1, rx=7, fill=fill, stroke=stroke)]
    return strip(width, height, 4, draw)


def combo_arrow(size=16):
    """The drop-down arrow: normal, hover, pushed."""
    def draw(state, prefix):
        colour = {0: MUTED, 1: TEXT, 2: ACCENT}[state]
        return "", [icons.place(icons.chevron_down(colour), 0, 0, size)]
    return strip(size, size, 3, draw)


def edit_frame(width=120, height=30):
    """An edit box: normal, hover, focused, disabled."""
    def draw(state, prefix):
        stroke = {0: LINE, 1: LINE2, 2: ACCENT, 3: BG3}[state]
        return "", [rect(0.5, 0.5, width - 1, height - 1, rx=6, fill=BG0, stroke=stroke)]
    return strip(width, height, 4, draw)


def colour_ring(size=28):
    """A ring around a preset colour; the middle stays clear so the colour shows."""
    def draw(state, prefix):
        c = size / 2
        ring = {0: LINE2, 1: WHITE, 2: ACCENT, 3: BG3}[state]
        width = {0: 1.5, 1: 2, 2: 2.6, 3: 1.5}[state]
        body = [circle(c, c, c - 1.5, fill="none", stroke=ring, stroke_width=width)]
        if state == 3:
            body.append(circle(c, c, c - 3, fill=BG0, fill_opacity=0.6))
        return "", body
    return strip(size, size, 4, draw)


def hue_ring(cx, cy, r, width, opacity=1.0):
    """A ring of twelve hue segments (the SVG profile has no sweep gradient)."""
    colours = ["#ff0000", "#ff8000", "#ffff00", "#80ff00", "#00ff00", "#00ff80",
               "#00ffff", "#0080ff", "#0000ff", "#8000ff", "#ff00ff", "#ff0080"]
    import math
    parts = []
    for i, colour in enumerate(colours):
        a0 = math.radians(i * 30 - 90)
        a1 = math.radians((i + 1) * 30 - 90 + 1)
        x0, y0 = cx + r * math.cos(a0), cy + r * math.sin(a0)
        x1, y1 = cx + r * math.cos(a1), cy + r * math.sin(a1)
        parts.append(path(f"M{x0:.2f},{y0:.2f} A{r},{r} 0 0 1 {x1:.2f},{y1:.2f}", fill="none",
                          stroke=colour, stroke_width=width, stroke_opacity=opacity))
    return group(parts)


def auto_colour_button(size=28):
    """The automatic colour cycle: a hue ring with an A, four states."""
    def draw(state, prefix):
        c = size / 2
        ring_opacity = {0: 0.85, 1: 1, 2: 1, 3: 0.25}[state]
        letter = {0: TEXT, 1: WHITE, 2: ACCENT, 3: DISABLED}[state]
        body = [circle(c, c, c - 1, fill=BG2 if state != 2 else BG0),
                hue_ring(c, c, c - 3, 3.2, ring_opacity),
                icons.place(icons.auto_colour(letter), 3, 3, size - 6)]
        if state == 2:
            body.append(circle(c, c, c - 0.8, fill="none", stroke=ACCENT, stroke_width=1.2))
        return "", body
    return strip(size, size, 4, draw)


PRESET_SWATCHES = [
    ("cycle", None), ("red", "#ff2d3b"), ("green", "#2dff6a"), ("blue", "#2d6bff"),
    ("yellow", "#ffe12d"), ("magenta", "#ff2df0"), ("cyan", "#2de8ff"), ("white", "#ffffff"),
]


def swatch_radio(colour, size=28):
    """A colour choice drawn as a radio skin: normal, hover, checked, disabled."""
    def draw(state, prefix):
        c = size / 2
        body = []
        if colour is None:
            body.append(hue_ring(c, c, c - 6.5, 5, 0.35 if state == 3 else 1))
        else:
            body.append(circle(c, c, c - 5, fill=colour, fill_opacity=0.3 if state == 3 else 1))
        ring = {0: None, 1: LINE2, 2: ACCENT, 3: None}[state]
        if ring:
            body.append(circle(c, c, c - 1.3, fill="none", stroke=ring, stroke_width=2))
        if state == 2:
            body.append(circle(c, c, c - 5, fill="none", stroke=BG0, stroke_width=1.2))
        return "", body
    return strip(size, size, 4, draw)


def icon_set(icon_list, colour=MUTED, size=24):
    """Several icons as the states of one skin: a tab control's page icons."""
    def draw(state, prefix):
        return "", [icons.place(icon_list[state](colour), 0, 0, size)]
    return strip(size, size, len(icon_list), draw)
