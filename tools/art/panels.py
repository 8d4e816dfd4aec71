"""Backgrounds: the main window, pages, the macro editor and its panels, the colour pad."""

from svgkit import (ACCENT, BG0, BG1, BG2, LINE, LINE2, WHITE, el, group, linear, path,
                    radial, rect, single)


def _window(width, height, title_height, prefix, watermark=()):
    """A frameless window: title band, hairline border, an accent mark under the title."""
    defs = "".join([
        linear(f"{prefix}base", 0, 0, 0, 1, [(0, BG1), (1, BG0)]),
        linear(f"{prefix}title", 0, 0, 0, 1, [(0, BG2), (1, BG1)]),
        linear(f"{prefix}mark", 0, 0, 1, 0, [(0, ACCENT), (0.6, ACCENT, 0.5), (1, ACCENT, 0)]),
        radial(f"{prefix}glow", 0.5, 0.5, 0.5, [(0, ACCENT, 0.10), (1, ACCENT, 0)]),
    ])
    facets = [
        path(f"M{width - 360},{title_height} L{width - 200},{title_height} "
             f"L{width - 420},{height} L{width - 580},{height} Z", fill=WHITE, fill_opacity=0.012),
        path(f"M{width - 150},{title_height} L{width - 90},{title_height} "
             f"L{width - 310},{height} L{width - 370},{height} Z", fill=WHITE, fill_opacity=0.018),
    ]
    body = [
        rect(0, 0, width, height, rx=10, fill=f"url(#{prefix}base)"),
        el("ellipse", cx=width * 0.22, cy=height * 0.62, rx=width * 0.32, ry=height * 0.5,
           fill=f"url(#{prefix}glow)"),
        *facets, *watermark,
        path(f"M10,0 H{width - 10} A10,10 0 0 1 {width},10 V{title_height} H0 V10 "
             f"A10,10 0 0 1 10,0 Z", fill=f"url(#{prefix}title)"),
        path(f"M0,{title_height - 0.5} H{width}", stroke=LINE),
        rect(16, title_height - 2, 220, 2, fill=f"url(#{prefix}mark)"),
        rect(0.5, 0.5, width - 1, height - 1, rx=9.5, fill="none", stroke=LINE2,
             stroke_opacity=0.8),
    ]
    return defs, body


def main_window(width=1000, height=640):
    return single(width, height, lambda prefix: _window(width, height, 52, prefix))


def macro_window(width=780, height=540):
    return single(width, height, lambda prefix: _window(width, height, 44, prefix))


def key_grid_window(width=780, height=540):
    """The macro editor's backdrop: a faint field of key caps behind the window."""
    keys = []
    for row in range(6):
        for col in range(14):
            x = 40 + col * 52 + (row % 2) * 18
            y = 90 + row * 72
            if x + 42 < width - 20:
                keys.append(rect(x, y, 42, 42, rx=7, fill="none", stroke=WHITE,
                                 stroke_opacity=0.025, stroke_width=1.2))
    return single(width, height, lambda prefix: _window(width, height, 44, prefix, keys))


def panel(width, height, header=0, well=False):
    """A rounded panel; optionally a header band and a dark list well below it."""
    def draw(prefix):
        gid = f"{prefix}g"
        defs = linear(gid, 0, 0, 0, 1, [(0, BG2), (1, BG1)])
        body = [rect(0.5, 0.5, width - 1, height - 1, rx=10, fill=f"url(#{gid})",
                     stroke=LINE),
                path(f"M12,1.5h{width - 24}", stroke=WHITE, stroke_opacity=0.06)]
        if header:
            body += [path(f"M1,{header}h{width - 2}", stroke=LINE),
                     rect(14, header - 2, 36, 2, rx=1, fill=ACCENT)]
        if well:
            top = header + 8 if header else 8
            body.append(rect(8, top, width - 16, height - top - 8, rx=7, fill=BG0,
                             fill_opacity=0.85, stroke=LINE, stroke_opacity=0.6))
        return defs, body
    return single(width, height, draw)


def function_strip(width=640, height=52):
    """The band behind the function tabs."""
    def draw(prefix):
        gid = f"{prefix}g"
        defs = linear(gid, 0, 0, 0, 1, [(0, BG2), (1, BG1)])
        return defs, [rect(0, 0, width, height, rx=8, fill=f"url(#{gid})"),
                      path(f"M8,{height - 0.5}h{width - 16}", stroke=LINE)]
    return single(width, height, draw)


def stage(width, height, rings=True):
    """A lit stage for a device picture: a glow, a floor ellipse, perspective lines."""
    def draw(prefix):
        defs = "".join([
            radial(f"{prefix}glow", 0.5, 0.45, 0.55, [(0, ACCENT, 0.16), (0.6, ACCENT, 0.04),
                                                      (1, ACCENT, 0)]),
            linear(f"{prefix}base", 0, 0, 0, 1, [(0, BG1), (1, BG0)]),
            radial(f"{prefix}floor", 0.5, 0.5, 0.5, [(0, ACCENT, 0.22), (1, ACCENT, 0)]),
        ])
        cx = width / 2
        floor_y = height * 0.86
        body = [rect(0.5, 0.5, width - 1, height - 1, rx=12, fill=f"url(#{prefix}base)",
                     stroke=LINE),
                rect(0, 0, width, height, rx=12, fill=f"url(#{prefix}glow)")]
        for i in range(-4, 5):
            body.append(path(f"M{cx + i * 18},{floor_y - 26} L{cx + i * 62},{height - 2}",
                             stroke=ACCENT, stroke_opacity=0.07))
        if rings:
            for i, r in enumerate((0.42, 0.34, 0.26)):
                body.append(el("ellipse", cx=cx, cy=floor_y, rx=width * r, ry=width * r * 0.16,
                               fill="none", stroke=ACCENT, stroke_opacity=0.10 + 0.06 * i))
        body.append(el("ellipse", cx=cx, cy=floor_y, rx=width * 0.36, ry=width * 0.07,
                       fill=f"url(#{prefix}floor)"))
        return defs, body
    return single(width, height, draw)


def colour_pad(width=256, height=160):
    """Hue from left to right, full colour at the top fading to white at the bottom.

    The pad is picked from pixel by pixel, so it is a plain rectangle without
    transparent corners.
    """
    hues = ["#ff0000", "#ffff00", "#00ff00", "#00ffff", "#0000ff", "#ff00ff", "#ff0000"]

    def draw(prefix):
        defs = "".join([
            linear(f"{prefix}hue", 0, 0, 1, 0, [(i / 6, c) for i, c in enumerate(hues)]),
            linear(f"{prefix}white", 0, 0, 0, 1, [(0, WHITE, 0), (1, WHITE, 1)]),
        ])
        return defs, [rect(0, 0, width, height, fill=f"url(#{prefix}hue)"),
                      rect(0, 0, width, height, fill=f"url(#{prefix}white)")]
    return single(width, height, draw)


def logo_parts(prefix, size=32):
    """The application's mark: a hexagon around the double chevron of the mouse's emblem."""
    gid = f"{prefix}logo"
    defs = linear(gid, 0, 0, 0, 1, [(0, "#8ee9ff"), (1, ACCENT)])
    hexagon = "M16,1.5 L28.5,8.7 V23.3 L16,30.5 L3.5,23.3 V8.7 Z"
    chevrons = ("M16,8 L24,18 L20.4,18 L16,12.6 L11.6,18 L8,18 Z "
                "M16,15.6 L21,22 L18,22 L16,19.5 L14,22 L11,22 Z")
    return defs, [group([path(hexagon, fill=BG0, stroke=f"url(#{gid})", stroke_width=2,
                              stroke_linejoin="round"),
                         path(chevrons, fill=f"url(#{gid})")],
                        transform=f"scale({size / 32:.4f})")]


def logo(size=32):
    return single(size, size, lambda prefix: logo_parts(prefix, size))
