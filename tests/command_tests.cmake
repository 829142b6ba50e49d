# Tests of the entry and bulk command cores.
