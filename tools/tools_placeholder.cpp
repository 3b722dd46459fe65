// The work behind each processing dialog is added here, one file per dialog.
