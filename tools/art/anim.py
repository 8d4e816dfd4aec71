"""Frame strips for the animated image and the animated tab icons.

A strip holds its frames side by side, first frame at the left. An "in" strip
runs from rest to lit; its "out" strip is the same frames in reverse order.
"""

import icons
import panels
from svgkit import ACCENT, MUTED, circle, el, group, radial, strip

FRAMES = 8


def _blend(c1, c2, t):
    a = [int(c1[i:i + 2], 16) for i in (1, 3, 5)]
    b = [int(c2[i:i + 2], 16) for i in (1, 3, 5)]
    return "#" + "".join(f"{round(x + (y - x) * t):02x}" for x, y in zip(a, b))


def _progress(frame, reverse):
    t = frame / (FRAMES - 1)
    return 1 - t if reverse else t


def icon_glow(icon, reverse=False, size=24):
    """A tab icon brightening from grey to the accent, with a ring that opens."""
    def draw(frame, prefix):
        t = _progress(frame, reverse)
        colour = _blend(MUTED, ACCENT, t)
        c = size / 2
        defs = radial(f"{prefix}g", 0.5, 0.5, 0.5, [(0, ACCENT, 0.35 * t), (1, ACCENT, 0)])
        body = [circle(c, c, c, fill=f"url(#{prefix}g)")]
        if 0 < t < 1:
            body.append(circle(c, c, c * (0.55 + 0.42 * t), fill="none", stroke=ACCENT,
                               stroke_opacity=0.6 * (1 - t) + 0.1, stroke_width=1.2))
        scale = 1 + 0.08 * t
        body.append(el("g", icons.place(icon(colour), 0, 0, size),
                       transform=f"translate({c},{c}) scale({scale:.3f}) translate({-c},{-c})"))
        return defs, body
    return strip(size, size, FRAMES, draw)


def logo_pulse(reverse=False, size=32):
    """The logo with a halo that swells and settles."""
    def draw(frame, prefix):
        t = _progress(frame, reverse)
        c = size / 2
        defs = radial(f"{prefix}g", 0.5, 0.5, 0.5, [(0, ACCENT, 0.55 * t), (1, ACCENT, 0)])
        logo_defs, logo_body = panels.logo_parts(prefix, size)
        body = [circle(c, c, c, fill=f"url(#{prefix}g)"),
                group(logo_body, transform=f"translate({c},{c}) scale({0.86 + 0.14 * t:.3f}) "
                                           f"translate({-c},{-c})")]
        return defs + logo_defs, body
    return strip(size, size, FRAMES, draw)
