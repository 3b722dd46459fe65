// Readers and writers are added here, one file per format family.
