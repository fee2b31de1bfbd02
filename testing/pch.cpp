// The source the tests' precompiled headers are made with.
