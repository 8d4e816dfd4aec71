"""Small helpers for writing SVG documents: the palette, documents, state strips.

Everything stays within what Qt's SVG renderer draws (shapes, paths, linear and
radial gradients, opacity, transforms); no filters, masks or clip paths.
"""

# The theme: graphite greys and one accent colour.
BG0 = "#0c0e12"
BG1 = "#13161b"
BG2 = "#1a1e25"
BG3 = "#232830"
BG4 = "#2d333d"
LINE = "#323945"
LINE2 = "#464f5d"
TEXT = "#e8ebf0"
MUTED = "#8d96a5"
DISABLED = "#4a515c"
ACCENT = "#1fd0f8"
ACCENT_DARK = "#0a86a8"
ACCENT_LIGHT = "#8ee9ff"
BLACK = "#000000"
WHITE = "#ffffff"


def fmt(v):
    """A number as short SVG text."""
    if isinstance(v, float):
        text = f"{v:.2f}".rstrip("0").rstrip(".")
        return text if text not in ("", "-0") else "0"
    return str(v)


def attrs(**kw):
    """Keyword arguments as SVG attributes; underscores become dashes."""
    parts = []
    for key, value in kw.items():
        if value is None:
            continue
        name = key.rstrip("_").replace("_", "-")
        parts.append(f'{name}="{fmt(value)}"')
    return " ".join(parts)


def el(tag, body="", **kw):
    a = attrs(**kw)
    head = f"<{tag} {a}" if a else f"<{tag}"
    return f"{head}>{body}</{tag}>" if body else f"{head}/>"


def rect(x, y, w, h, rx=0, **kw):
    return el("rect", x=x, y=y, width=w, height=h, rx=rx if rx else None, **kw)


def circle(cx, cy, r, **kw):
    return el("circle", cx=cx, cy=cy, r=r, **kw)


def path(d, **kw):
    return el("path", d=d, **kw)


def group(body, **kw):
    return el("g", "".join(body) if isinstance(body, (list, tuple)) else body, **kw)


def stops(pairs):
    """Gradient stops from (offset, colour[, opacity]) tuples."""
    out = []
    for stop in pairs:
        offset, colour = stop[0], stop[1]
        opacity = stop[2] if len(stop) > 2 else None
        out.append(el("stop", offset=offset, stop_color=colour,
                      stop_opacity=opacity))
    return "".join(out)


def linear(gid, x1, y1, x2, y2, pairs, units="objectBoundingBox"):
    return el("linearGradient", stops(pairs), id=gid, x1=x1, y1=y1, x2=x2, y2=y2,
              gradientUnits=units)


def radial(gid, cx, cy, r, pairs, units="objectBoundingBox", fx=None, fy=None):
    return el("radialGradient", stops(pairs), id=gid, cx=cx, cy=cy, r=r, fx=fx,
              fy=fy, gradientUnits=units)


def document(width, height, body, defs=""):
    """A complete SVG file of the given size in device-independent pixels."""
    head = (f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
            f'width="{fmt(width)}" height="{fmt(height)}" '
            f'viewBox="0 0 {fmt(width)} {fmt(height)}">')
    defs_part = f"<defs>{defs}</defs>" if defs else ""
    content = "".join(body) if isinstance(body, (list, tuple)) else body
    return f'<?xml version="1.0" encoding="UTF-8"?>\n{head}{defs_part}{content}</svg>\n'


class Drawing(str):
    """An SVG document that knows how many states it holds side by side."""

    def __new__(cls, text, states):
        drawing = super().__new__(cls, text)
        drawing.states = states
        return drawing


def strip(width, height, states, draw):
    """A skin: `states` images of width x height side by side, left to right.

    `draw(index, prefix)` returns (defs, body) for one state; `prefix` makes its
    gradient ids unique within the file.
    """
    all_defs, all_body = [], []
    for index in range(states):
        defs, body = draw(index, f"s{index}")
        all_defs.append(defs)
        all_body.append(group(body, transform=f"translate({width * index},0)"))
    return Drawing(document(width * states, height, all_body, "".join(all_defs)), states)


def single(width, height, draw):
    defs, body = draw("s0")
    return Drawing(document(width, height, body, defs), 1)
