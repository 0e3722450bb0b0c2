// A library that exports by ordinal only (see LoaderDep.def), so that the loader test
// library imports from it by ordinal.
extern "C" int DepAnswer() { return 40; }
extern "C" int DepTwice(int v) { return 2 * v; }
