# PostScript output in colour: the plot above drawn once more into an EPS file beside the data file.
set terminal push
set terminal postscript eps noenhanced color solid linewidth 2 font "Helvetica,18"
set output 'varolux32_plot.eps'
replot
set output
set terminal pop
