#!/usr/bin/env python3
"""Writes the images, skins and button coordinates of the resource package.

    tools/art/draw_art.py [uires directory]
    tools/art/draw_art.py --index

The output is committed; the build never runs this script. Every file it
writes is listed in ARTWORK below with the resource name it is served under,
and skin/art_skins.xml makes each a skin named like the resource with a dot
for the colon ("main.state_ok_png"); --index prints the lines of the resource
index instead of drawing.
"""

import os
import sys

sys.dont_write_bytecode = True

import anim  # noqa: E402  (the modules below are imported after the flag above)
import controls  # noqa: E402
import devices  # noqa: E402
import icons  # noqa: E402
import mouse  # noqa: E402
import panels  # noqa: E402

# (resource name, file below uires/, drawing) — resource names are type:name.
ARTWORK = [
    # The main window and its pages.
    ("main:table_main_bg_png", "image/main/table_main_bg.svg", lambda: panels.main_window()),
    ("main:table_main_icon_png", "image/main/table_main_icon.svg", lambda: panels.logo()),
    ("main:page_bg_png", "image/main/page_bg.svg", lambda: panels.panel(640, 520)),
    ("main:state_func_bg_png", "image/main/state_func_bg.svg", lambda: controls.tab_item()),
    ("main:ioc_func_macro_png", "image/main/ioc_func_macro.svg",
     lambda: controls.icon_states(icons.macro)),
    ("main:ioc_func_rgb_png", "image/main/ioc_func_rgb.svg",
     lambda: controls.icon_states(icons.rgb)),
    ("main:more_menu_png", "image/main/more_menu.svg", lambda: controls.icon_button(icons.dots)),
    # Profile combo box.
    ("main:cbox_profile_normal_png", "image/main/cbox_profile_normal.svg",
     lambda: controls.combo_frame()),
    ("main:cbox_profile_selected_png", "image/main/cbox_profile_selected.svg",
     lambda: controls.combo_frame(highlighted=True)),
    ("main:cbox_profile_ico_png", "image/main/cbox_profile_ico.svg",
     lambda: controls.combo_arrow()),
    # Device pictures and their stages.
    ("main:img_keyboard_png", "image/main/img_keyboard.svg", lambda: mouse.picture_svg()),
    ("main:img_keyboard_bg_png", "image/main/img_keyboard_bg.svg",
     lambda: panels.stage(340, 440)),
    ("main:img_mouse_bg_png", "image/main/img_mouse_bg.svg",
     lambda: panels.stage(340, 440, rings=False)),
    ("main:img_keboard_demo_png", "image/main/img_keboard_demo.svg",
     lambda: devices.keyboard_picture()),
    ("main:img_headset_png", "image/main/img_headset.svg", lambda: devices.headset_picture()),
    ("main:img_mousepad_png", "image/main/img_mousepad.svg",
     lambda: devices.mousepad_picture()),
    ("main:icon_keyboard_png", "image/main/icon_keyboard.svg",
     lambda: devices.device_icon(icons.keyboard)),
    ("main:icon_mouse_png", "image/main/icon_mouse.svg",
     lambda: devices.device_icon(icons.mouse)),
    ("main:icon_headset_png", "image/main/icon_headset.svg",
     lambda: devices.device_icon(icons.headset)),
    ("main:icon_mousepad_png", "image/main/icon_mousepad.svg",
     lambda: devices.device_icon(icons.mousepad)),
    # Lighting.
    ("main:icon_color_effects_png", "image/main/icon_color_effects.svg",
     lambda: controls.icon_states(icons.palette)),
    ("main:state_color_effects_png", "image/main/state_color_effects.svg",
     lambda: controls.segment(120, 34)),
    ("main:state_color_select_png", "image/main/state_color_select.svg",
     lambda: controls.colour_ring()),
    ("main:state_auto_color_png", "image/main/state_auto_color.svg",
     lambda: controls.auto_colour_button()),
    ("main:color_panel_png", "image/main/color_panel.svg", lambda: panels.colour_pad()),
    ("main:bg_progress_bg_png", "image/main/bg_progress_bg.svg",
     lambda: controls.slider_track()),
    ("main:bg_progress_pos_png", "image/main/bg_progress_pos.svg",
     lambda: controls.slider_track(filled=True)),
    ("main:state_progres_thum_png", "image/main/state_progres_thum.svg",
     lambda: controls.slider_thumb()),
    # The macro editor.
    ("main:win_macro_bg_png", "image/main/win_macro_bg.svg", lambda: panels.macro_window()),
    ("kb_macro:bg_png", "image/kb_macro/bg.svg", lambda: panels.key_grid_window()),
    ("main:bg_macr_keys_png", "image/main/bg_macr_keys.svg",
     lambda: panels.panel(360, 300, well=True)),
    ("main:bg_macro_group_png", "image/main/bg_macro_group.svg",
     lambda: panels.panel(220, 320, header=36, well=True)),
    ("main:image_bg_macro_content_png", "image/main/image_bg_macro_content.svg",
     lambda: panels.panel(420, 320, header=36, well=True)),
    ("main:state_del_png", "image/main/state_del.svg", lambda: controls.icon_button(icons.trash)),
    ("main:state_add_png", "image/main/state_add.svg", lambda: controls.icon_button(icons.plus)),
    ("main:state_capture_png", "image/main/state_capture.svg",
     lambda: controls.icon_button(icons.capture)),
    ("main:state_import_png", "image/main/state_import.svg",
     lambda: controls.icon_button(icons.import_)),
    ("main:state_export_png", "image/main/state_export.svg",
     lambda: controls.icon_button(icons.export)),
    ("main:state_up_png", "image/main/state_up.svg", lambda: controls.icon_button(icons.arrow_up)),
    ("main:state_down_png", "image/main/state_down.svg",
     lambda: controls.icon_button(icons.arrow_down)),
    ("main:state_record_png", "image/main/state_record.svg",
     lambda: controls.icon_button(icons.record)),
    ("main:state_clear_png", "image/main/state_clear.svg",
     lambda: controls.icon_button(icons.broom)),
    ("main:state_ok_png", "image/main/state_ok.svg", lambda: controls.text_button(True)),
    ("main:state_cancel_png", "image/main/state_cancel.svg", lambda: controls.text_button(False)),
    # Skins of the standard and custom widgets.
    ("ctrl:check", "skin/check.svg", lambda: controls.check_mark()),
    ("ctrl:radio", "skin/radio.svg", lambda: controls.radio_mark()),
    ("ctrl:toggle", "skin/toggle.svg", lambda: controls.toggle()),
    ("ctrl:toggle_mark", "skin/toggle_mark.svg", lambda: controls.toggle_mark()),
    ("ctrl:segment", "skin/segment.svg", lambda: controls.segment()),
    ("ctrl:tab_item", "skin/tab_item.svg", lambda: controls.tab_item()),
    ("ctrl:tab_head_bg", "skin/tab_head_bg.svg", lambda: controls.tab_head_background()),
    ("ctrl:tab_icons", "skin/tab_icons.svg",
     lambda: controls.icon_set([icons.macro, icons.rgb, icons.palette])),
    ("ctrl:button", "skin/button.svg", lambda: controls.text_button(False)),
    ("ctrl:button_primary", "skin/button_primary.svg", lambda: controls.text_button(True)),
    ("ctrl:combobox", "skin/combobox.svg", lambda: controls.combo_states()),
    ("ctrl:combobox_arrow", "skin/combobox_arrow.svg", lambda: controls.combo_arrow()),
    ("ctrl:edit", "skin/edit.svg", lambda: controls.edit_frame()),
    ("ctrl:slider_track", "skin/slider_track.svg", lambda: controls.slider_track()),
    ("ctrl:slider_fill", "skin/slider_fill.svg", lambda: controls.slider_track(filled=True)),
    ("ctrl:slider_thumb", "skin/slider_thumb.svg", lambda: controls.slider_thumb()),
    ("ctrl:caption_min", "skin/caption_min.svg", lambda: controls.caption_button(icons.minimise)),
    ("ctrl:caption_max", "skin/caption_max.svg", lambda: controls.caption_button(icons.maximise)),
    ("ctrl:caption_restore", "skin/caption_restore.svg",
     lambda: controls.caption_button(icons.restore)),
    ("ctrl:caption_close", "skin/caption_close.svg",
     lambda: controls.caption_button(icons.close, danger_hover=True)),
    *[(f"ctrl:swatch_{name}", f"skin/swatch_{name}.svg",
       (lambda colour: lambda: controls.swatch_radio(colour))(colour))
      for name, colour in controls.PRESET_SWATCHES],
    # Animation strips.
    ("anim:logo_in", "anim/logo_in.svg", lambda: anim.logo_pulse()),
    ("anim:logo_out", "anim/logo_out.svg", lambda: anim.logo_pulse(reverse=True)),
    ("anim:func_macro_in", "anim/func_macro_in.svg", lambda: anim.icon_glow(icons.macro)),
    ("anim:func_macro_out", "anim/func_macro_out.svg",
     lambda: anim.icon_glow(icons.macro, reverse=True)),
    ("anim:func_rgb_in", "anim/func_rgb_in.svg", lambda: anim.icon_glow(icons.rgb)),
    ("anim:func_rgb_out", "anim/func_rgb_out.svg",
     lambda: anim.icon_glow(icons.rgb, reverse=True)),
    ("anim:color_effects_in", "anim/color_effects_in.svg",
     lambda: anim.icon_glow(icons.palette)),
    ("anim:color_effects_out", "anim/color_effects_out.svg",
     lambda: anim.icon_glow(icons.palette, reverse=True)),
]

COORDS_FILE = "coords/img_keyboard.xml"
SKIN_TABLE = "skin/art_skins.xml"

# Frames that stretch: corners keep their size (left, top, right, bottom in
# the image's own pixels). Everything else is drawn stretched whole.
MARGINS = {
    "main:table_main_bg_png": "24,56,24,24",
    "main:win_macro_bg_png": "24,48,24,24",
    "kb_macro:bg_png": "24,48,24,24",
    "main:page_bg_png": "14,14,14,14",
    "main:bg_macr_keys_png": "18,18,18,18",
    "main:bg_macro_group_png": "18,46,18,18",
    "main:image_bg_macro_content_png": "18,46,18,18",
    "main:state_func_bg_png": "14,8,14,8",
    "main:cbox_profile_normal_png": "10,10,10,10",
    "main:cbox_profile_selected_png": "12,10,12,10",
    "main:state_color_effects_png": "10,10,10,10",
    "main:state_ok_png": "10,10,10,10",
    "main:state_cancel_png": "10,10,10,10",
    "main:bg_progress_bg_png": "3,0,3,0",
    "main:bg_progress_pos_png": "3,0,3,0",
    "ctrl:segment": "10,10,10,10",
    "ctrl:tab_item": "14,8,14,8",
    "ctrl:tab_head_bg": "12,12,12,12",
    "ctrl:button": "10,10,10,10",
    "ctrl:button_primary": "10,10,10,10",
    "ctrl:combobox": "10,10,10,10",
    "ctrl:edit": "8,8,8,8",
    "ctrl:slider_track": "3,0,3,0",
    "ctrl:slider_fill": "3,0,3,0",
}


# Solid colour skins, one colour per state: a row that only tints on hover
# and press (the background of a check box whose mark is its icon).
COLOUR_SKINS = [
    ("ctrl.row_clear", "#00000000;#ffffff08;#ffffff12;#00000000"),
]


def skin_name(resource):
    """The skin pool name of a drawing: its resource name with a dot for the colon."""
    return resource.replace(":", ".")


def skin_table(drawings):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             "<!-- Skins of the artwork: states side by side, left to right. -->",
             "<skin>"]
    for name, _, drawing in drawings:
        margin = f' margin="{MARGINS[name]}"' if name in MARGINS else ""
        lines.append(f'\t<image name="{skin_name(name)}" src="{name}" '
                     f'states="{drawing.states}"{margin}/>')
    for name, values in COLOUR_SKINS:
        lines.append(f'\t<colors name="{name}" values="{values}" radius="6"/>')
    lines.append("</skin>")
    return "\n".join(lines) + "\n"


def write(root, relative, text):
    target = os.path.join(root, relative)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, "w", encoding="utf-8") as out:
        out.write(text)


def print_index():
    width = max(len(name) for name, _, _ in ARTWORK)
    for name, relative, _ in ARTWORK:
        print(f"{name:<{width}} = {relative}")
    print(f"{'SKIN:art':<{width}} = {SKIN_TABLE}")


def main():
    if sys.argv[1:] == ["--index"]:
        print_index()
        return
    here = os.path.dirname(os.path.abspath(__file__))
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "uires")
    drawings = [(name, relative, draw()) for name, relative, draw in ARTWORK]
    for _, relative, drawing in drawings:
        write(root, relative, drawing)
    write(root, SKIN_TABLE, skin_table(drawings))
    write(root, COORDS_FILE, mouse.coords_xml())
    print(f"wrote {len(drawings)} drawings, {SKIN_TABLE} and {COORDS_FILE} "
          f"below {os.path.normpath(root)}")


if __name__ == "__main__":
    main()
