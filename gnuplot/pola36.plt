# Ratio curves (degree of polarisation and the like) are plotted through pol(x), which maps their
# values -0.4 .. 0.7 onto the left axis; the right axis reads them in their own values.
set ytics nomirror
set y2range [-0.4:0.7]
set y2tics -0.4, 0.1, 0.7
set y2label "P"
