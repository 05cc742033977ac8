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

# The whole record (592 bytes today; a longer record takes what follows as
# well) filled with one byte, then a walk through the run screen and every
# menu page with each line edited up and down.
walk() {
    # Sliders, passes, a picture, a second of ticks.
    printf '\120\007\320\121\001\364\241\360\240\224\241'
    # Centre three times: acknowledges an alarm, opens the main menu.
    printf '\000\241\000\241\000\241'
    for entry in 1 2 3 4 5; do
        # Calibrate ticked so that the service entries are offered.
        printf '\141'
        i=0
        while [ $i -lt $entry ]; do printf '\001\240'; i=$((i + 1)); done
        printf '\000\241'
        # Each line: next line, edit, raise, lower, raise, end the edit.
        line=0
        while [ $line -lt 14 ]; do
            printf '\001\240\000\240\001\240\002\240\003\240\000\240'
            line=$((line + 1))
        done
        printf '\360\240'
        # Back up to DONE and out.
        line=0
        while [ $line -lt 15 ]; do printf '\002\240'; line=$((line + 1)); done
        printf '\000\241\360\240'
    done
}
for fill in 000 177 200 377; do
    {
        printf '\321\170'
        head -c 592 /dev/zero | tr '\000' "\\$fill"
        walk
        printf '\340'
    } >$out/settings_whole_record_$fill
done
