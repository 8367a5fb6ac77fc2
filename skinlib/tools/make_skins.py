#!/usr/bin/env python3
"""Writes the 33 built-in skins (resources/skins/NN.she) from the palettes below.

Each theme gives a few base colours; the rest of its keys follow from them by
the rules in theme(). The files are what ships; this script only keeps their
colours consistent. Run it from anywhere: python3 skinlib/tools/make_skins.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "..", "resources", "skins")


def rgb(h):
    return tuple(int(h[i:i + 2], 16) for i in (1, 3, 5))


def hx(c):
    return "#%02X%02X%02X" % c


def mix(a, b, t):
    a, b = rgb(a), rgb(b)
    return hx(tuple(round(x + (y - x) * t) for x, y in zip(a, b)))


def light(c, t):
    return mix(c, "#FFFFFF", t)


def dark(c, t):
    return mix(c, "#000000", t)


def lum(c):
    r, g, b = rgb(c)
    return (299 * r + 587 * g + 114 * b) // 1000


def on(c):
    return "#1E1E1E" if lum(c) >= 150 else "#FFFFFF"


# name, caption stops (top to bottom), face, accent, options
THEMES = [
    ("晴空 Clear Sky", ["#5BA3E6", "#3D85CC", "#2F6DB5"], "#EEF3F9", "#2F7BD0", {}),
    ("石墨 Graphite", ["#474C53", "#33373C"], "#2F3338", "#5AA0E0", {"close": "bold"}),
    ("翡翠 Jade", ["#3DB07E", "#2E9E6E", "#1F7A53"], "#EDF6F1", "#23895D", {"arrow": "chevron"}),
    ("琥珀 Amber", ["#F5B04A", "#E8951F", "#CC7A10"], "#FBF4EA", "#D9820F", {}),
    ("胭脂 Rouge", ["#D6485F", "#C8324A", "#9E1F35"], "#F8EEF0", "#B52A41", {"close": "round"}),
    ("午夜 Midnight", ["#27365C", "#1A2444", "#121A33"], "#1C2333", "#4F7BFF", {"close": "round"}),
    ("薰衣草 Lavender", ["#A08FD4", "#8E7CC3", "#6C58A8"], "#F3F0F9", "#7A64B8", {"radius": 5}),
    ("青瓷 Celadon", ["#94C4B6", "#7FB5A5", "#5E9A89"], "#EDF4F1", "#4F8A79", {"align": "center", "arrow": "chevron"}),
    ("沙丘 Dune", ["#D6B77F", "#C9A66B", "#A8854A"], "#F7F1E6", "#A17A3A", {}),
    ("深海 Deep Sea", ["#145E70", "#0F4C5C", "#0A3540"], "#12313A", "#2EC4B6", {"arrow": "chevron"}),
    ("樱花 Sakura", ["#F2A7C1", "#E88FAE", "#D0668C"], "#FCF1F5", "#C9557F", {"close": "round", "radius": 6}),
    ("钢青 Steel", ["#6E8497", "#5B7083", "#3F5164"], "#E9EDF0", "#4A6A88", {"radius": 2}),
    ("青花 Blue and White", ["#3A66B0", "#2F5597", "#1B3A73"], "#F3F5FA", "#2F5597",
     {"close": "round", "arrow": "chevron", "radius": 4, "gold": "#C9A44C", "aero": (14, 120)}),
    ("森林 Forest", ["#375A40", "#2D4A34", "#1E3324"], "#24302A", "#7FBF6A", {}),
    ("珊瑚 Coral", ["#FF8E7B", "#FF7F6B", "#E85A4A"], "#FFF3F0", "#E5533F", {"radius": 5}),
    ("紫夜 Violet Night", ["#4A3070", "#3A2557", "#26183B"], "#2A2238", "#B48CFF", {"close": "round"}),
    ("薄荷 Mint", ["#4FD1AE", "#3CC4A0", "#22A382"], "#EFFAF6", "#1C9877", {"arrow": "chevron", "radius": 6}),
    ("咖啡 Coffee", ["#6B4A34", "#5A3E2B", "#3F2A1C"], "#3A2E26", "#D9A066", {}),
    ("银灰 Silver", ["#E6E9EC", "#D8DCE0", "#B9BFC6"], "#F2F3F5", "#5E7A99", {"align": "center", "close": "square"}),
    ("朱砂 Cinnabar", ["#DC5A45", "#D2432F", "#A8301F"], "#F7EFEA", "#B3361F", {"gold": "#F4D88A"}),
    ("海军 Navy", ["#2C5285", "#22416B", "#162C4A"], "#ECEFF4", "#2A5A96", {"close": "square", "radius": 2}),
    ("绛红 Crimson Dark", ["#5A1F29", "#4A1820", "#2E0E14"], "#2B1E21", "#E0455A", {"close": "bold"}),
    ("柠檬 Lemon", ["#F2D651", "#E8C938", "#CFAE1C"], "#FDFBEC", "#B38F00", {"radius": 5}),
    ("冰川 Glacier", ["#B2DCF2", "#9AD0EC", "#6FB3DA"], "#F0F8FC", "#2F8CC4", {"close": "round", "arrow": "chevron"}),
    ("橄榄 Olive", ["#8A9C45", "#7A8B3A", "#5E6D28"], "#F3F4EA", "#66762B", {}),
    ("碳黑 Carbon", ["#262626", "#1A1A1A", "#0D0D0D"], "#222222", "#FF8A00", {"close": "bold", "radius": 0}),
    ("玫瑰金 Rose Gold", ["#DDB3A9", "#D4A59A", "#B7847A"], "#FAF3F1", "#A86E62", {"align": "center", "radius": 6}),
    ("靛蓝 Indigo", ["#33419E", "#283593", "#1A237E"], "#1E2240", "#8C9EFF", {"close": "round", "arrow": "chevron"}),
    ("秋枫 Maple", ["#C4643A", "#B5552B", "#8E3C1A"], "#F8F0E8", "#A9471F", {}),
    ("极光 Aurora", ["#1B4B55", "#27405E", "#3A1C5B"], "#1B2230", "#4DE0B0", {"arrow": "chevron", "aero": (16, 140)}),
    ("宣纸 Rice Paper", ["#EFE9DC", "#E8E1D3", "#D6CCB8"], "#F6F2E9", "#8B2E2E", {"align": "center", "close": "square", "radius": 0}),
    ("孔雀 Peacock", ["#0A9396", "#00897B", "#005F73"], "#E9F5F4", "#00796B", {"close": "round"}),
    ("暮光 Dusk", ["#5A4480", "#4B3869", "#2E2145"], "#2A2438", "#FF9E64", {"arrow": "chevron", "radius": 5}),
]


def theme(name, stops, face, accent, opt):
    is_dark = lum(face) < 100
    cap_mid = stops[len(stops) // 2]
    cap_text = on(cap_mid)
    gold = opt.get("gold")
    lines = [("name", name), ("face", face)]
    text = "#E8E8E8" if is_dark else "#1E1E1E"
    lines.append(("text", text))
    lines.append(("caption.active", " ".join(stops)))
    grey = "#404040" if is_dark else "#D4D4D4"
    inactive = [mix(s, grey, 0.6) for s in stops]
    lines.append(("caption.inactive", " ".join(inactive)))
    lines.append(("caption.text", gold if gold else cap_text))
    lines.append(("caption.text.inactive", mix(cap_text, inactive[len(inactive) // 2], 0.45)))
    if opt.get("align"):
        lines.append(("caption.align", opt["align"]))
    lines.append(("frame.active", dark(stops[-1], 0.35)))
    lines.append(("frame.inactive", dark(inactive[-1], 0.25)))
    lines.append(("close.glyph", opt.get("close", "cross")))
    if is_dark:
        menu = [light(face, 0.06), face]
    else:
        menu = [light(face, 0.5), mix(face, stops[-1], 0.06)]
    lines.append(("menu.bar", " ".join(menu)))
    lines.append(("menu.hover", accent if not gold else stops[1]))
    lines.append(("menu.hover.text", on(accent)))
    lines.append(("menu.line", light(face, 0.12) if is_dark else dark(face, 0.12)))
    if is_dark:
        button = [light(face, 0.16), light(face, 0.06)]
        hover = [mix(light(face, 0.2), accent, 0.25), mix(light(face, 0.08), accent, 0.2)]
        pressed = [dark(face, 0.2), mix(face, accent, 0.15)]
        border = mix(light(face, 0.3), accent, 0.3)
    else:
        button = ["#FFFFFF", mix(face, stops[-1], 0.1)]
        hover = [light(accent, 0.84), light(accent, 0.62)]
        pressed = [light(accent, 0.52), light(accent, 0.72)]
        border = mix(dark(face, 0.4), accent, 0.35)
    if gold:
        border = mix(border, gold, 0.35)
    lines.append(("button", " ".join(button)))
    lines.append(("button.hover", " ".join(hover)))
    lines.append(("button.pressed", " ".join(pressed)))
    lines.append(("button.border", border))
    lines.append(("button.text", text))
    lines.append(("button.focus", accent))
    lines.append(("button.radius", str(opt.get("radius", 3))))
    if opt.get("arrow"):
        lines.append(("combo.arrow.glyph", opt["arrow"]))
    edit = dark(face, 0.25) if is_dark else "#FFFFFF"
    lines.append(("edit.back", edit))
    lines.append(("edit.text", "#F0F0F0" if is_dark else "#000000"))
    lines.append(("edit.border", border))
    lines.append(("edit.focus.border", accent))
    lines.append(("list.select", accent))
    lines.append(("list.select.text", on(accent)))
    size, strength = opt.get("aero", (10, 90 if is_dark else 110))
    lines.append(("aero.color", stops[-1] if not is_dark else accent))
    lines.append(("aero.size", str(size)))
    lines.append(("aero.strength", str(strength)))
    return ".SHE 1\n" + "".join("%s = %s\n" % kv for kv in lines)


def main():
    assert len(THEMES) == 33
    os.makedirs(OUT, exist_ok=True)
    for i, t in enumerate(THEMES, 1):
        with open(os.path.join(OUT, "%02d.she" % i), "w", encoding="utf-8", newline="\n") as f:
            f.write(theme(*t))


if __name__ == "__main__":
    main()
