# Entry and bulk command cores, added to zub_core. Paths are relative to src/.
