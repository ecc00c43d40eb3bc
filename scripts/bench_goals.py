#!/usr/bin/env python3
"""Prints each performance goal's figure from the benchmarks' JSON files (given as arguments)."""
import json
import os
import sys

NODRAW = "_nodraw"  # how the results file of the run with drawing discarded ends

# Benchmark name prefix, counter, what it is, goal[, the results file it comes from]; without a
# file, any but the run with drawing discarded.
GOALS = [
    ("BM_HeavyBattleFrame/1/", "vs_sdl", "heavy battle, full screen: our wall per frame / SDL_Renderer's", "<= 0.5"),
    ("BM_HeavyBattleFrame/1/", "vs_sdl_cpu", "  the same in process CPU (steadier on a busy machine)", "<= 0.5"),
    ("BM_HeavyBattleFrame/1/", "wall_ms", "heavy battle, full screen: wall per frame (ms)", "<= 16.7"),
    ("BM_HeavyBattleFrame/1/", "cpu_ms", "  its process CPU per frame (ms, llvmpipe's threads included)", ""),
    ("BM_IdleMenuFrame/1/", "vs_sdl", "idle menu, full screen: our wall per frame / SDL_Renderer's", "<= 0.5"),
    ("BM_IdleMenuFrame/1/", "vs_sdl_cpu", "  the same in process CPU", "<= 0.5"),
    ("BM_IdleMenu_Pacing/1/", "period_mean_ms", "idle menu, full screen: mean frame period (ms)", "<= 16.9"),
    ("BM_IdleMenu_Pacing/1/", "period_p99_ms", "idle menu, full screen: p99 frame period (ms)", "<= 18"),
    ("BM_IdleMenu_Pacing/0/", "main_thread_pct", "idle menu, 800x600: game thread's CPU (% of a core)", "<= 5"),
    ("BM_IdleMenu_Pacing/0/", "period_p99_ms", "idle menu, 800x600: p99 frame period (ms)", "<= 17.67"),
    ("BM_RoundsMemory", "rss_first_MB", "resident memory after the first round (MB)", ""),
    ("BM_RoundsMemory", "rss_last_MB", "resident memory after the last round (MB)", ""),
    ("BM_RoundsMemory", "rss_growth_pct", "growth from the first round to the last (%)", "<= 5"),
    ("BM_HeavyBattleFrame/1/", "game_cpu_ms", "game's own CPU per frame, update + draw (ms), drawing discarded",
     "< 1.5", "bench_battle" + NODRAW),
    ("BM_HeavyBattleFrame/1/", "game_cpu_ms", "  the same with llvmpipe's vertex work and binning on its thread", "",
     "bench_battle"),
] + [("BM_EnterScreen/" + screen + "/", "real_time", "entering " + screen[3:] + " (ms, Load + Init wall)",
      "not above the last figure") for screen in
     ("GS_Battle", "GS_MainMenu", "GS_HeroSelect", "GS_SpellSelect", "GS_RoundOver", "GS_HowToPlay",
      "GS_Settings", "GS_Credits")]


def wanted(name, source):
    return name == source[0] if source else not name.endswith(NODRAW)


def main():
    runs = []  # (results file's name, benchmark)
    for path in sys.argv[1:]:
        name = os.path.basename(path).rsplit(".", 1)[0]
        try:
            with open(path) as f:
                runs += [(name, b) for b in json.load(f).get("benchmarks", [])]
        except (OSError, ValueError):
            pass
    print("== Goals")
    for prefix, counter, what, goal, *source in GOALS:
        found = [b[counter] for name, b in runs
                 if b.get("name", "").startswith(prefix) and counter in b and wanted(name, source)]
        value = "%.3g" % found[-1] if found else "not run"
        print("  %-66s %10s   goal %s" % (what, value, goal or "-"))


main()
