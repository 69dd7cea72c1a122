// Register window.
