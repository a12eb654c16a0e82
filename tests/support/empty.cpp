// Keeps the test support archive non-empty.
