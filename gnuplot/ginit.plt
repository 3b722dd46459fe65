# Start settings of the command files that Varolux32 writes ("Save for GnuPlot").
# The command files are UTF-8; their data files mark missing values with "?".
set encoding utf8
set datafile missing "?"
set style data lines
set grid
set tics out
set mxtics
set mytics
set border lw 1.5
set key spacing 1.2
