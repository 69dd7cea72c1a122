// Register statements.
