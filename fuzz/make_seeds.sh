#!/bin/sh
# Writes the event fuzzer's configuration seeds into fuzz/corpus/events: one input for
# every layout, bar orientation and pair of channel kinds. Each powers on,
# writes the display codes and channel kinds into the settings record, sets
# the sliders, and looks at the run screen through ticks, keys and pictures.
# The byte format is described at the top of fuzz_events.cpp. Run it from the
# repository root after changing the format; the other seeds are hand-made.
set -eu
out=fuzz/corpus/events

kind_name() {
    case $1 in 0) echo off ;; 1) echo pressure ;; *) echo temp ;; esac
}

for layout in 0 1; do
    for bars in 0 1; do
        for kind1 in 0 1 2; do
            for kind2 in 0 1 2; do
                name=config_$([ $layout = 0 ] && echo dual || echo single)
                name=${name}_$([ $bars = 0 ] && echo vertical || echo horizontal)
                name=${name}_$(kind_name $kind1)_$(kind_name $kind2)
                # ON (events after the first pass); 6 bytes at offset 10:
                # layout, orientation, automatic cycling, 1 s, kind 1, kind 2;
                # sliders 1536 and 512; two passes; a picture; 320 ticks; a
                # picture; the right and left keys; sender broken on 3900; a
                # picture; OFF.
                printf "\\321\\160\\012\\005\\$(printf %03o $layout)\\$(printf %03o $bars)\\001\\000\\$(printf %03o $kind1)\\$(printf %03o $kind2)" >$out/$name
                printf '\120\006\000\121\002\000\241\360\240\237\240\360\240' >>$out/$name
                printf '\004\241\360\240\003\241\120\017\074\241\360\240\340' >>$out/$name
            done
        done
    done
done

# Every display code and both kinds out of range.
printf '\321\160\012\005\377\377\377\377\377\377\241\360\240\237\240\360\240\000\241\000\241\360\240\340' \
    >$out/settings_all_codes_stray
