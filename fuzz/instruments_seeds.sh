#!/bin/sh
# Writes a few small valid inputs for the instrument fuzz targets into fuzz/corpus-instruments_*
# (git-ignored). Run from the repository root.
set -e
# zeros DIR NAME SIZE: a file of SIZE zero bytes.
zeros() { mkdir -p "fuzz/corpus-instruments_$1"; head -c "$3" /dev/zero > "fuzz/corpus-instruments_$1/$2"; }
# put DIR NAME OFFSET BYTES: writes printf-escaped BYTES at OFFSET.
put() { printf "%b" "$4" | dd of="fuzz/corpus-instruments_$1/$2" bs=1 seek="$3" conv=notrunc status=none; }

# JWS compound file, 512-byte sectors, version 3: pattern at 2048, values from 2112.
zeros jws compound 2400
put jws compound 0 '\320\317\021\340'
put jws compound 26 '\003\0'
put jws compound 30 '\011\0'
put jws compound 2048 '\003\0\0\0\001\0\0\0\0\0\0\0\001\0\0\0\001\0\0\0\004\0\0\0'
put jws compound 2072 '\0\0\0\0\0\0\171\100\0\0\0\0\0\300\162\100\0\0\0\0\0\0\044\300'
put jws compound 2100 '\0\0\0\0'
put jws compound 2112 '\0\0\040\101\0\0\240\101\0\0\110\102\0\0\240\102'
# JWS flat "R1": three values from 640.
zeros jws r1 652
put jws r1 0 'L~S '
put jws r1 32 'R1'
put jws r1 152 '5 nm'
put jws r1 192 '\350\003\0\0'
put jws r1 212 '\003\0\002\0'
put jws r1 252 '\0\0\0\0\0\040\171\100\0\0\0\0\0\0\171\100'
put jws r1 320 'title'
put jws r1 640 '\0\0\200\077\0\0\0\100\0\0\100\100'
# JWS flat variant A: x code 4, two values after leading zeros.
zeros jws flata 1736
put jws flata 0 'L~S '
put jws flata 132 '\002\0\0\0\0\0\0\0\0\0\171\100\0\0\0\0\0\100\217\100\0\0\0\0\0\0\131\100'
put jws flata 164 '\003\0\0\0'
put jws flata 840 '\0\0\200\100'
put jws flata 1728 '\315\314\314\075\315\314\114\076'

# SPE: two frames of two stripes of four 16-bit pixels, linear wavelength calibration.
zeros spe linear 4132
put spe linear 10 '\0\0\0\077'
put spe linear 42 '\004\0'
put spe linear 108 '\003\0'
put spe linear 656 '\002\0'
put spe linear 1446 '\002\0'
put spe linear 1512 '\001\0\0\0\001\0'
put spe linear 2996 '\147\105\043\001'
put spe linear 3018 'Wavelength'
put spe linear 3101 '\001'
put spe linear 3263 '\0\0\0\0\0\0\171\100\0\0\0\0\0\0\340\077'
put spe linear 4100 '\001\0\002\0\003\0\004\0\005\0\006\0\007\0\010\0'
# SPE: one stripe of four floats on a Raman axis, second-order calibration, laser line 532 nm.
zeros spe raman 4116
put spe raman 42 '\004\0'
put spe raman 656 '\001\0'
put spe raman 1446 '\001\0'
put spe raman 2996 '\147\105\043\001'
put spe raman 3018 'Raman Shift'
put spe raman 3101 '\002'
put spe raman 3263 '\0\0\0\0\0\340\200\100\0\0\0\0\0\0\360\077\173\024\256\107\341\172\204\077'
put spe raman 3311 '\0\0\0\0\0\240\200\100'
put spe raman 4100 '\0\0\200\077\0\0\0\100\0\0\100\100\0\0\200\100'
