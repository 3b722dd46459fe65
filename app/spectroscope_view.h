#pragma once
// The spectroscope view below the plot (a colour strip of the visible range, optionally shaded by
// one spectrum) and the peak-label bar above it.
class QImage;
class TCommandHost;
class TMainwin;

// Builds the controls of both bars into the main window, connects "Show Spectroscope View" and "Show
// Peak Labels", and hands the plot its redraw and sync hooks.
void ConnectSpectroscopeView(TMainwin& win);

// Switches the view off and releases the strip (Remove All, Remove Last Spectrum).
void SpectroscopeViewOff(TCommandHost& win);
// Refills the combo box keeping its choice, resizes the strip to its bar and redraws it.
void RedrawSpectroscopeImage(TCommandHost& win);
// The strip as last drawn (null while the view is off), for the clipboard, saving and tests.
const QImage* SpectroscopeBitmap(TCommandHost& win);

// The bar's controls into PeakLabelSettings and back.
void SyncPeakLabelBar(TCommandHost& win);
