#!/usr/bin/env python3
"""Prints the sprite benchmarks' ratios (ours over the reference, from one run) against their
goals, and the largest animation box scene that fits one tick.
  scripts/bench_ratios.py <sprite_bench JSON output>
Exits 1 when a ratio misses its goal, so a slower change shows; the figures are printed either
way."""
import json
import sys

# (what, our benchmark, the reference's, goal: at most this ratio; None only prints it)
PAIRS = [
    ("blend 256x256, typical edges", "BM_Blend_Ours/translucent:0", "BM_Blend_Pixman/translucent:0", 1.0),
    ("blend 256x256, all translucent", "BM_Blend_Ours/translucent:1", "BM_Blend_Pixman/translucent:1", 1.0),
    ("blend, SSE2 row only, typical", "BM_Blend_OursSse2/translucent:0", "BM_Blend_Pixman/translucent:0", None),
    ("blend, SSE2 row only, translucent", "BM_Blend_OursSse2/translucent:1", "BM_Blend_Pixman/translucent:1", None),
    ("rotation by 30", "BM_Rotate_Ours/degrees:30", "BM_Rotate_Pixman/degrees:30", 1.0),
    ("rotation by 45", "BM_Rotate_Ours/degrees:45", "BM_Rotate_Pixman/degrees:45", 1.0),
    ("rotation by 90", "BM_Rotate_Ours/degrees:90", "BM_Rotate_Pixman/degrees:90", 1.0),
    ("zoom to 0.5", "BM_Zoom_Ours/permille:500", "BM_Zoom_Pixman/permille:500", 1.0),
    ("zoom to 1.5", "BM_Zoom_Ours/permille:1500", "BM_Zoom_Pixman/permille:1500", None),
    ("zoom to 2", "BM_Zoom_Ours/permille:2000", "BM_Zoom_Pixman/permille:2000", None),
    ("GIF, 30 frames to canvases", "BM_Gif_Ours/0", "BM_Gif_GiflibComposited/0", 0.8),
    ("GIF, one 800x580 frame", "BM_Gif_Ours/1", "BM_Gif_GiflibComposited/1", None),
] + [(f"PNG 800x580 {kind}", f"BM_Png_Ours/{i}", f"BM_Png_PlainLibpng/{i}", None)
    for i, kind in enumerate(["RGBA", "RGB", "palette + tRNS", "RGB 16-bit", "RGBA interlaced"])]
TICK_MS = 10.0
SPRITES_GOAL = 8000


def times(results):
    """Processor time per run in ns by benchmark name (other work on a shared machine stretches the
    wall time of both sides unevenly): the median when repeated."""
    out, medians = {}, {}
    for b in results["benchmarks"]:
        unit = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
        name, value = b["run_name"], b["cpu_time"] * unit
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                medians[name] = value
        else:
            out.setdefault(name, value)
    out.update(medians)
    return out


def main():
    with open(sys.argv[1]) as f:
        t = times(json.load(f))
    failed = False
    print(f"{'':34} {'ours':>10} {'reference':>10} {'ratio':>6}  goal")
    for what, ours, reference, goal in PAIRS:
        if ours not in t or reference not in t:
            continue
        ratio = t[ours] / t[reference]
        verdict = "" if goal is None else f"<= {goal:.2f} " + ("ok" if ratio <= goal else "MISSED")
        failed |= goal is not None and ratio > goal
        print(f"{what:34} {t[ours] / 1e3:8.1f}us {t[reference] / 1e3:8.1f}us {ratio:6.2f}  {verdict}")
    scenes = sorted((int(name.split("/")[1]), ns / 1e6) for name, ns in t.items()
                    if name.startswith("BM_BoxSceneTick/"))
    if scenes:
        fits = [n for n, ms in scenes if ms <= TICK_MS]
        best = max(fits, default=0)
        print("animation box, tick + repaint: " + ", ".join(f"{n}: {ms:.1f} ms" for n, ms in scenes))
        ok = best >= SPRITES_GOAL
        failed |= not ok
        print(f"animation box: {best} sprites fit one {TICK_MS:.0f} ms tick (goal >= {SPRITES_GOAL}: "
              f"{'ok' if ok else 'MISSED'})")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
