// The main window, the plot and the dialogs are added here.
