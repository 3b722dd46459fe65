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
# Real JWS files: a compound file read through its directory (DataInfo and Y-Data) and two flat ones.
cp tests/data/instruments/*.jws fuzz/corpus-instruments_jws/
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

# Text exports: the first byte chooses the reader (0 TTT, 1 TAT, 2 RRUFF, 3 WLS, 4 DSP, 5 GGG).
txt() { mkdir -p fuzz/corpus-instruments_texts; printf "%b" "$2" > "fuzz/corpus-instruments_texts/$1"; }
txt avasoft '\000M- title\r\nIntegration time: 10 ms\r\n\r\n\r\n\r\n\r\nWave;Sample\r\n400;50\r\n401;60\r\n402;70\r\nend\r\n'
txt avasoft_multi '\001t\r\nc\r\n\r\n\r\n\r\n\r\na;b;c;d;e\r\n400,5;1;2;3;0,5\r\n401,5;1;2;3;0,6\r\nend\r\n'
txt rruff '\002##NAMES=x\r\n##ID=y\r\n100.5, 1\r\n102.5, 2\r\n104.5, 3\r\n106.5, 4\r\n108.5, 5\r\n110.5, 6\r\n112.5, 7\r\n114.5, 8\r\n116.5, 9\r\n##END=\r\n'
txt wls '\003"UV"\r\n\r\n"Abs"\r\n\r\n\r\n\r\n\r\n"2023-01-01"\r\n\r\n"No","nm","Abs"\r\n"1","400.0","0.1"\r\n"2","401.0","0.2"\r\n"3","402.0","0.3"\r\n"4","403.0","0.4"\r\n"5","404.0","0.5"\r\n"6","405.0","0.6"\r\n"END"\r\n\r\n'
txt dsp '\004SINACSA\r\nSCAN\r\n\r\ntitle\r\nnm\r\n400\r\n\r\n2\r\n\r\n%T\r\n\r\n\r\n\r\n\r\n\r\n01/01/2023\r\n\r\n\r\n\r\n\r\nm\r\n\r\n\r\n\r\n\r\n\r\n\r\n77\r\ns\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nsw\r\n#DATA\r\n1\t50\r\n2\t60\r\n3\t70\r\n'
txt ggg '\005<typ> polccde\r\n<fwl> 350\r\n<temp> 77\r\n<aufloesung> 0.5\r\n# Begin data\r\n300 1500\r\n300.5 1400\r\n301 1300\r\n'
