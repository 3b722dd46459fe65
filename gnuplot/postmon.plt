# PostScript output in black and white: the plot above drawn once more into an EPS file beside the
# data file, the curves told apart by their dash patterns.
set terminal push
set terminal postscript eps noenhanced monochrome dashed linewidth 2 font "Helvetica,18"
set output 'varolux32_plot.eps'
replot
set output
set terminal pop
