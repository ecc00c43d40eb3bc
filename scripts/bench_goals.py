#!/usr/bin/env python3
"""Prints each performance goal's figure from the benchmarks' JSON files (given as arguments)."""
import json
import sys

GOALS = [  # benchmark name prefix, counter, what it is, goal
    ("BM_HeavyBattleFrame/1/", "vs_sdl", "heavy battle, full screen: our wall per frame / SDL_Renderer's", "<= 1.0"),
    ("BM_HeavyBattleFrame/1/", "vs_sdl_cpu", "  the same in process CPU (steadier on a busy machine)", "<= 1.0"),
    ("BM_IdleMenuFrame/1/", "vs_sdl", "idle menu, full screen: our wall per frame / SDL_Renderer's", "<= 1.0"),
    ("BM_IdleMenuFrame/1/", "vs_sdl_cpu", "  the same in process CPU", "<= 1.0"),
    ("BM_IdleMenu_Pacing/1/", "period_mean_ms", "idle menu, full screen: mean frame period (ms)", "<= 16.9"),
    ("BM_IdleMenu_Pacing/1/", "period_p99_ms", "idle menu, full screen: p99 frame period (ms)", "<= 18"),
    ("BM_HeavyBattleFrame/1/", "wall_ms", "heavy battle, full screen: wall per frame (ms)", "<= 20"),
    ("BM_HeavyBattleFrame/1/", "cpu_ms", "  its process CPU per frame (ms, llvmpipe's threads included)", ""),
    ("BM_IdleMenu_Pacing/0/", "main_thread_pct", "idle menu, 800x600: game thread's CPU (% of a core)", "<= 5"),
    ("BM_IdleMenu_Pacing/0/", "period_p99_ms", "idle menu, 800x600: p99 frame period (ms)", "<= 17.67"),
    ("BM_RoundsMemory", "rss_first_MB", "resident memory after the first round (MB)", ""),
    ("BM_RoundsMemory", "rss_last_MB", "resident memory after the last round (MB)", ""),
    ("BM_RoundsMemory", "rss_growth_pct", "growth from the first round to the last (%)", "<= 5"),
    ("BM_HeavyBattleFrame/1/", "game_cpu_ms", "game's own CPU per frame, update + draw (ms)", "< 1.5"),
]


def main():
    runs = []
    for path in sys.argv[1:]:
        try:
            with open(path) as f:
                runs += json.load(f).get("benchmarks", [])
        except (OSError, ValueError):
            pass
    print("== Goals")
    for prefix, counter, what, goal in GOALS:
        found = [b[counter] for b in runs if b.get("name", "").startswith(prefix) and counter in b]
        value = "%.3g" % found[-1] if found else "not run"
        print("  %-66s %10s   goal %s" % (what, value, goal or "-"))


main()
