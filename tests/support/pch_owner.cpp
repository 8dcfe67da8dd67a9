// Compiles nothing of its own: the target makes the tests' precompiled header.
