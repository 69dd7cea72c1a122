// Replaced by the reference-book windows.
