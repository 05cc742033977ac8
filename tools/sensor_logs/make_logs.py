#!/usr/bin/env python3
"""Writes the example sensor logs into examples/logs/ (or the folder given).

Each log is what an engine's two senders would read through one event, in
the units of examples/settings/engine_oil_coolant.toml: channel 1 oil
pressure in bar, channel 2 coolant in degrees C. The small wobbles are made
from sines, not random numbers, so the files come out the same every time.

    python3 tools/sensor_logs/make_logs.py [FOLDER]
"""
import math
import os
import sys


def wobble(t, size, period):
    return size * math.sin(2 * math.pi * t / period) * math.sin(2 * math.pi * t / (period * 2.7))


def warm_up():
    # Ten minutes from a cold start: the coolant climbs from 20 to 90 C and
    # levels off as the thermostat opens; the oil pressure jumps high while
    # the oil is cold and thick, and settles as it warms.
    rows = []
    for t in range(0, 601, 2):
        x = t / 600
        coolant = 20 + 70 * (1 - (1 - x) ** 2.2)
        if t == 0:
            oil = 0.0
        else:
            oil = 2.9 + 3.1 * (1 - x) ** 1.6 + wobble(t, 0.08, 23)
        rows.append((t, f"{oil:.1f}", f"{coolant:.1f}"))
    return ("Engine warm-up: ten minutes from a cold start at idle.", rows)


def overheat():
    # A hot engine working hard: the coolant climbs past the 105 C alarm to
    # 112 C and stays there; the oil thins and its pressure sags a little.
    rows = []
    for t in range(0, 25):
        x = min(t / 20, 1.0)
        coolant = 92 + 20 * (1 - (1 - x) ** 1.5)
        oil = 3.0 - 0.5 * x + wobble(t, 0.05, 7)
        rows.append((t, f"{oil:.1f}", f"{coolant:.1f}"))
    return ("Overheat: the coolant climbs past the 105 C alarm and stays hot.", rows)


def oil_loss():
    # A failing oil pump: steady pressure, a fall through the 1.0 bar alarm,
    # a flicker near zero, and at last the sender wire comes off (open). The
    # coolant is logged every ten seconds only: the cells between are empty.
    rows = []
    for t in range(0, 121, 2):
        if t < 30:
            oil = 3.0 + wobble(t, 0.06, 9)
        elif t < 70:
            oil = 3.0 - 2.6 * (t - 30) / 40
        else:
            oil = 0.4 + 0.2 * abs(math.sin(t / 3))
        coolant = f"{90 + 4 * t / 120:.1f}" if t % 10 == 0 else ""
        rows.append((t, "open" if t >= 110 else f"{oil:.1f}", coolant))
    return ("Loss of oil pressure, ending with the sender wire open.", rows)


def write(folder, name, title, rows):
    path = os.path.join(folder, name)
    text = [f"# {title}", "# Made by tools/sensor_logs/make_logs.py for "
            "examples/settings/engine_oil_coolant.toml.", "time,channel1,channel2"]
    text += [f"{t},{a},{b}" for t, a, b in rows]
    temporary = path + ".tmp"
    with open(temporary, "w", newline="\n") as f:
        f.write("\n".join(text) + "\n")
    os.replace(temporary, path)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples", "logs")
    os.makedirs(folder, exist_ok=True)
    for name, make in (("warm_up.csv", warm_up), ("overheat.csv", overheat),
                       ("oil_loss.csv", oil_loss)):
        title, rows = make()
        write(folder, name, title, rows)


if __name__ == "__main__":
    main()
