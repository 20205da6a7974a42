// Compiles the tests' precompiled headers, which every test reuses.
