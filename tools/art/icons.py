"""Line icons on a 24 x 24 grid, drawn with one stroke colour.

Each function returns SVG markup for the icon centred in a 24 x 24 box at the
origin; callers translate and scale it.
"""

from svgkit import circle, el, group, path, rect


def _stroke(colour, width=1.8):
    return dict(fill="none", stroke=colour, stroke_width=width,
                stroke_linecap="round", stroke_linejoin="round")


def trash(c):
    s = _stroke(c)
    return group([path("M4 7h16", **s), path("M9.5 7V4.8h5V7", **s),
                  path("M6.5 7l1 12.2h9L17.5 7", **s),
                  path("M10.2 10.5v5.5M13.8 10.5v5.5", **s)])


def plus(c):
    s = _stroke(c, 2)
    return group([path("M12 5v14M5 12h14", **s)])


def capture(c):
    s = _stroke(c)
    return group([circle(12, 12, 6.5, **s), circle(12, 12, 2.2, fill=c),
                  path("M12 2.5v3M12 18.5v3M2.5 12h3M18.5 12h3", **s)])


def import_(c):
    s = _stroke(c)
    return group([path("M12 3.5v11", **s), path("M7.5 10.5L12 15l4.5-4.5", **s),
                  path("M4.5 15.5v4h15v-4", **s)])


def export(c):
    s = _stroke(c)
    return group([path("M12 15V4", **s), path("M7.5 8.5L12 4l4.5 4.5", **s),
                  path("M4.5 15.5v4h15v-4", **s)])


def arrow_up(c):
    s = _stroke(c, 2)
    return group([path("M12 19V5.5", **s), path("M6.5 11L12 5.5l5.5 5.5", **s)])


def arrow_down(c):
    s = _stroke(c, 2)
    return group([path("M12 5v13.5", **s), path("M6.5 13l5.5 5.5 5.5-5.5", **s)])


def record(c):
    s = _stroke(c)
    return group([circle(12, 12, 8, **s), circle(12, 12, 4.4, fill=c)])


def check(c):
    s = _stroke(c, 2.2)
    return group([path("M5.5 12.5l4.2 4.2L18.5 7.8", **s)])


def cross(c):
    s = _stroke(c, 2)
    return group([path("M6.5 6.5l11 11M17.5 6.5l-11 11", **s)])


def broom(c):
    """Clear: an eraser wiping a line."""
    s = _stroke(c)
    return group([path("M13.5 4.5l6 6-8.5 8.5H7.5l-3-3z", **s),
                  path("M9.5 8.5l6 6", **s), path("M12 19h7.5", **s)])


def dots(c):
    return group([circle(5.5, 12, 1.9, fill=c), circle(12, 12, 1.9, fill=c),
                  circle(18.5, 12, 1.9, fill=c)])


def macro(c):
    """A key cap with a play mark: recorded key sequences."""
    s = _stroke(c)
    return group([rect(3, 5, 18, 14, rx=3, **s), path("M10 9.2v5.6l4.6-2.8z", fill=c,
                                                       stroke=c, stroke_width=1.2,
                                                       stroke_linejoin="round")])


def rgb(c):
    """Three overlapping light circles."""
    s = _stroke(c, 1.6)
    return group([circle(12, 8.6, 5, **s), circle(8.4, 14.8, 5, **s),
                  circle(15.6, 14.8, 5, **s)])


def palette(c):
    s = _stroke(c)
    return group([path("M12 3.5a8.5 8.5 0 1 0 0 17c1.5 0 2-1 1.4-2.2-.7-1.3.1-2.6 1.6-2.6h2"
                       "a3.5 3.5 0 0 0 3.5-3.5C20.5 7.3 16.7 3.5 12 3.5z", **s),
                  circle(8, 10.5, 1.3, fill=c), circle(11.5, 7.5, 1.3, fill=c),
                  circle(15.5, 8.5, 1.3, fill=c)])


def minimise(c):
    return group([path("M6 12.5h12", **_stroke(c, 1.6))])


def maximise(c):
    return group([rect(6.5, 6.5, 11, 11, rx=1.5, **_stroke(c, 1.6))])


def restore(c):
    s = _stroke(c, 1.5)
    return group([rect(5.5, 8.5, 10, 10, rx=1.5, **s),
                  path("M8.5 5.5h8.5a1.5 1.5 0 0 1 1.5 1.5v8.5", **s)])


def close(c):
    return group([path("M7 7l10 10M17 7L7 17", **_stroke(c, 1.6))])


def chevron_down(c):
    return group([path("M7 10l5 5 5-5", **_stroke(c, 2))])


def keyboard(c):
    s = _stroke(c, 1.6)
    keys = [rect(5.3 + 2.9 * i, 9, 1.7, 1.7, rx=0.4, fill=c) for i in range(5)]
    keys += [rect(6.7 + 2.9 * i, 12, 1.7, 1.7, rx=0.4, fill=c) for i in range(4)]
    return group([rect(2.5, 6, 19, 12.5, rx=2.5, **s), *keys,
                  path("M8 15.8h8", **s)])


def mouse(c):
    s = _stroke(c, 1.6)
    return group([rect(6.5, 3, 11, 18, rx=5.5, **s), path("M12 3v6.5", **s),
                  path("M6.6 9.5h10.8", **s), rect(11, 5.3, 2, 2.6, rx=1, fill=c)])


def headset(c):
    s = _stroke(c, 1.6)
    return group([path("M4.5 15v-3a7.5 7.5 0 0 1 15 0v3", **s),
                  rect(3.5, 13.5, 4, 6.5, rx=1.6, **s), rect(16.5, 13.5, 4, 6.5, rx=1.6, **s),
                  path("M18.5 20c0 1-1.5 1.5-4.5 1.5", **s)])


def mousepad(c):
    s = _stroke(c, 1.6)
    return group([rect(2.5, 6.5, 19, 12, rx=2.5, **s),
                  path("M5.5 15.5h13", **_dotted(c)),
                  rect(13, 8.6, 4.4, 6, rx=2.2, **s)])


def _dotted(c):
    return dict(fill="none", stroke=c, stroke_width=1.2, stroke_dasharray="1.5,2",
                stroke_linecap="round")


def auto_colour(c):
    """The letter A inside a ring: the automatic colour cycle."""
    s = _stroke(c, 1.8)
    return group([path("M8.5 16.5L12 7.5l3.5 9M9.8 13.4h4.4", **s)])


def place(icon, x, y, size=24):
    """An icon drawn into a size x size box at (x, y)."""
    scale = size / 24
    return el("g", icon, transform=f"translate({x},{y}) scale({scale:.4f})")
